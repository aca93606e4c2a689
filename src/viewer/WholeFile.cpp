#include "viewer/WholeFile.h"

#include "platform/Win1252.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

namespace velmora {

QString decodeTextFile(const QByteArray &bytes)
{
    static constexpr char utf8Bom[] = "\xEF\xBB\xBF";
    if (bytes.startsWith(utf8Bom)) {
        // Only the first mark goes: a second one right after it is text,
        // which QString::fromUtf8 would drop as well.
        QStringDecoder rest(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless
                                                      | QStringDecoder::Flag::ConvertInitialBom);
        return rest.decode(QByteArrayView(bytes).sliced(3));
    }

    // Checked before decoding, so a Windows-1252 file is decoded once. A
    // sequence cut off at the end is not valid.
    if (QByteArrayView(bytes).isValidUtf8())
        return QString::fromUtf8(bytes);
    return fromWindows1252(bytes);
}

TextShape shapeOfText(QStringView text)
{
    TextShape shape;
    qsizetype lineStart = 0;
    qsizetype runStart = 0;
    const qsizetype n = text.size();
    const QChar *c = text.data();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ch = c[i].unicode();
        // A cheap test first: every character that ends a run is a space, a
        // tab, CR, LF, U+2028, U+2029 or U+FDD0/U+FDD1.
        if (ch > u' ' && (ch & 0xFFFE) != 0x2028 && (ch & 0xFFFE) != 0xFDD0)
            continue;
        const bool lineBreak = ch == u'\r' || ch == u'\n' || ch == 0x2029 || ch == 0xFDD0 || ch == 0xFDD1;
        if (!lineBreak && ch != u' ' && ch != u'\t' && ch != 0x2028)
            continue;  // a control character other than these is part of a run
        shape.longestRun = std::max(shape.longestRun, i - runStart);
        runStart = i + 1;
        if (!lineBreak)
            continue;
        shape.longestLine = std::max(shape.longestLine, i - lineStart);
        ++shape.lines;
        if (ch == u'\r' && i + 1 < n && c[i + 1] == u'\n')
            ++i;  // CR LF is one break
        lineStart = runStart = i + 1;
    }
    shape.longestRun = std::max(shape.longestRun, n - runStart);
    if (n > lineStart) {
        shape.longestLine = std::max(shape.longestLine, n - lineStart);
        ++shape.lines;
    }
    return shape;
}

bool fitsTheViewer(const TextShape &shape)
{
    return shape.lines <= maxViewerFileLines && shape.longestLine <= maxViewerLineChars;
}

QString ReadWholeFile(const QString &path)
{
    if (path.isEmpty())
        return QString();
    // Only a regular file is opened: a pipe or a device would block or never
    // end, and a folder has no text.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > maxViewerFileBytes)
        return QString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    // Read in pieces, so that a file that grew since the look-up stops at
    // the limit instead of filling the memory.
    QByteArray bytes;
    bytes.reserve(info.size());
    char chunk[64 * 1024];
    for (;;) {
        const qint64 got = file.read(chunk, sizeof chunk);
        if (got < 0)
            return QString();
        if (got == 0)
            break;
        if (bytes.size() + got > maxViewerFileBytes)
            return QString();
        bytes.append(chunk, got);
    }
    QString text = decodeTextFile(bytes);
    if (!fitsTheViewer(shapeOfText(text)))
        return QString();
    return text;
}

}  // namespace velmora
