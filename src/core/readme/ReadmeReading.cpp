#include "core/readme/ReadmeReading.h"

#include "core/readme/MarkdownLayout.h"
#include "core/readme/TextLayout.h"
#include "core/text/BoundedFile.h"
#include "core/text/LineBreaks.h"
#include "core/text/TextShape.h"
#include "core/text/WholeFile.h"

#include <QFileInfo>

#include <optional>
#include <variant>

namespace velmora {

using readback::Mismatch;
using readback::Outcome;

namespace {

constexpr qsizetype shownLineChars = 60;

// Lines of the text, split at CR LF, LF or CR; a line break at the very end
// ends the last line rather than starting an empty one.
QStringList linesOf(const QString &text)
{
    QStringList lines = toLf(text).split(u'\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString firstChars(const QString &line)
{
    qsizetype n = qMin(line.size(), shownLineChars);
    if (n > 0 && n < line.size() && line[n - 1].isHighSurrogate())
        --n;
    return line.left(n);
}

// Where a text leaves the viewer's limits, which a readme keeps: its
// boxes would hold no more (a long line is laid out whole, in time that
// grows with its length), and the layouts are weighed only within them.
std::optional<Mismatch> beyondTheViewer(const QString &text, const QStringList &lines)
{
    const TextShape shape = shapeOfText(text);
    if (fitsTheViewer(shape))
        return std::nullopt;
    if (shape.lines > maxViewerFileLines)
        return Mismatch{int(qMin<qint64>(maxViewerFileLines, lines.size())),
                        QStringLiteral("the end of the file: a readme has at most %L1 lines").arg(maxViewerFileLines)};
    int i = 0;
    while (i + 1 < lines.size() && shapeOfText(lines[i]).longestLine <= maxViewerLineChars)
        ++i;
    return Mismatch{i, QStringLiteral("a line of at most %L1 characters").arg(maxViewerLineChars)};
}

}  // namespace

RecognisedReadme recogniseReadme(const QByteArray &bytes)
{
    const bool utf8 = bytes.startsWith("\xEF\xBB\xBF") || QByteArrayView(bytes).isValidUtf8();
    const QString text = decodeTextFile(bytes);
    const QStringList lines = linesOf(text);

    Outcome outcome;
    const bool markdown = !lines.isEmpty() && lines.first().startsWith(u'#');
    if (auto beyond = beyondTheViewer(text, lines))
        outcome = *beyond;
    else
        outcome = markdown ? readMarkdownLayout(lines) : readTextLayout(lines);

    if (auto *mismatch = std::get_if<Mismatch>(&outcome)) {
        RecognisedReadme result;
        result.format = markdown ? ReadmeFormat::Markdown : ReadmeFormat::Text;
        result.encoding = utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1252;
        result.mismatch.lineNumber = mismatch->index + 1;
        result.mismatch.lineStart = firstChars(mismatch->index < lines.size() ? lines[mismatch->index] : QString());
        result.mismatch.expected = mismatch->expected;
        return result;
    }
    RecognisedReadme result = std::get<RecognisedReadme>(std::move(outcome));
    result.recognised = true;
    result.encoding = utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    return result;
}

RecognisedReadme recogniseReadmeFile(const QString &path)
{
    const BoundedFile file = readBoundedFile(path, maxViewerFileBytes);
    RecognisedReadme result;
    switch (file.outcome) {
    case BoundedFile::Outcome::Read:
        return recogniseReadme(file.bytes);
    case BoundedFile::Outcome::Missing:
        result.readError = QStringLiteral("the file does not exist.");
        break;
    case BoundedFile::Outcome::NotAFile:
        result.readError = QStringLiteral("it is not a regular file.");
        break;
    case BoundedFile::Outcome::TooLarge:
        result.readError = QStringLiteral("it is larger than 16 MiB, which no readme is.");
        break;
    case BoundedFile::Outcome::Unreadable:
        // A name that cannot even be looked up (a folder on the way that
        // may not be searched, a loop of links) is a file that does not
        // exist; otherwise the system's reason, in Qt's words.
        result.readError = QFileInfo::exists(path) ? qt_error_string(file.error) + u'.'
                                                    : QStringLiteral("the file does not exist.");
        break;
    }
    return result;
}

QString notRecognisedMessage(const RecognisedReadme &result)
{
    if (!result.readError.isEmpty())
        return QStringLiteral("This file cannot be read: ") + result.readError;
    const ReadmeMismatch &m = result.mismatch;
    const QString layoutName = result.format == ReadmeFormat::Markdown ? QStringLiteral("Markdown readme")
                                                                         : QStringLiteral("readme");
    return QStringLiteral("This file is not a %1 that Velmora wrote, or it was changed by hand.").arg(layoutName)
           + crLf + QStringLiteral("Line %L1 differs: \"%2\"").arg(m.lineNumber).arg(m.lineStart) + crLf
           + QStringLiteral("Expected there: %1.").arg(m.expected);
}

}  // namespace velmora
