#include "core/readme/ReadmeFile.h"

#include "core/readme/MarkdownLayout.h"
#include "core/readme/ReadmeTarget.h"
#include "core/text/AtomicFile.h"

#include <algorithm>

namespace velmora {

std::optional<ReadmeFormat> formatNamedBy(const QString &path)
{
    if (path.endsWith(QLatin1String(".md"), Qt::CaseInsensitive))
        return ReadmeFormat::Markdown;
    if (path.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        return ReadmeFormat::Text;
    return std::nullopt;
}

ReadmeEncoding keptEncoding(const RecognisedReadme &readme)
{
    if (readme.format != ReadmeFormat::Text || readme.encoding != TextEncoding::Utf8)
        return ReadmeEncoding::Windows1252;
    const QByteArray bytes = readmeBytes(readme.record, readme.compatibleSystems, ReadmeEncoding::Utf8);
    return std::any_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) >= 0x80; })
               ? ReadmeEncoding::Utf8
               : ReadmeEncoding::Windows1252;
}

QString namedCharacters(const QList<char32_t> &characters)
{
    constexpr qsizetype named = 10;
    QStringList shown;
    for (qsizetype i = 0; i < characters.size() && i < named; ++i)
        shown << QString::fromUcs4(&characters[i], 1);
    QString list = shown.join(u' ');
    if (characters.size() > named)
        list += QStringLiteral(" and %1 more").arg(characters.size() - named);
    return list;
}

bool writeReadmeFile(const QString &path, const ReadmeRecord &record, const QStringList &systems,
                     ReadmeFormat format, ReadmeEncoding encoding, const QString &applicationFolder,
                     const QString &userFolder, QString *reason)
{
    QString why = readmeTargetProblem(path, applicationFolder, userFolder);
    if (why.isEmpty() && format == ReadmeFormat::Markdown)
        why = whyMarkdownCannotHold(record, systems);
    if (why.isEmpty()) {
        const QByteArray bytes = format == ReadmeFormat::Markdown ? readmeMarkdownBytes(record, systems)
                                                                  : readmeBytes(record, systems, encoding);
        if (writeFileAtomically(path, bytes, &why))
            return true;
    }
    if (reason)
        *reason = why;
    return false;
}

}  // namespace velmora
