// libFuzzer target for the write-read-write round trip: the bytes make a
// record that the wizard's boxes could hold and a compatible list; each
// layout (the text layout in Windows-1252 and in UTF-8, Markdown) writes
// them, Open readme's reader must recognise the file, and what it read must
// write the very same bytes again. Besides the sanitizers, it aborts when
// one of these rules stops holding.

#include "core/readme/LayoutText.h"
#include "core/readme/MarkdownLayout.h"
#include "core/readme/ReadmeReading.h"
#include "core/readme/TextLayout.h"
#include "core/text/LineBreaks.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace velmora;

[[noreturn]] void broken(const char *rule, const QByteArray &file)
{
    std::fprintf(stderr, "broken rule: %s\nfile:\n%s\n", rule, file.toPercentEncoding(" \r\n#-()").constData());
    std::abort();
}

// A single-line value as a box holds it: line breaks as the box turns
// pasted ones (into spaces), at most maxChars UTF-16 units, never half a
// surrogate pair.
QString boxValue(QString value, int maxChars = 0)
{
    value.replace(u'\r', u' ').replace(u'\n', u' ');
    if (maxChars > 0 && value.size() > maxChars) {
        value.truncate(maxChars);
        if (value.back().isHighSurrogate())
            value.chop(1);
    }
    return value;
}

// A multi-line value as its box gives it: every line break CR LF.
QString fieldValue(const QString &value)
{
    return toLf(value).replace(u'\n', crLf);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The values are the input's parts between 0x1F bytes, decoded as UTF-8;
    // what is left after the fourteenth are the systems, one a part.
    const QStringList parts = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)).split(QChar(0x1F));
    auto part = [&parts](int i) { return parts.value(i); };
    ReadmeRecord r;
    r.programName = boxValue(part(0), layout::maxProgramNameChars);
    r.programType = part(1).isEmpty() ? QString() : layout::programTypes[part(1).size() % layout::programTypes.size()];
    for (QChar c : part(2).left(layout::maxVersionChars))
        r.version += (c.isDigit() && c.unicode() < 0x80) ? c : QChar(u'.');
    r.company = boxValue(part(3), layout::maxCompanyChars);
    r.language = boxValue(part(4));
    r.webSite = boxValue(part(5));
    r.authorName = boxValue(part(6), layout::maxAuthorNameChars);
    r.authorEMail = boxValue(part(7), layout::maxAuthorEMailChars);
    QString *fields[] = {&r.filesNeeded, &r.description, &r.instructions, &r.newAdditions, &r.features, &r.additions};
    for (int i = 0; i < 6; ++i)
        *fields[i] = fieldValue(part(8 + i));
    QStringList systems;
    for (int i = 14; i < parts.size(); ++i)
        systems << boxValue(parts[i]);

    for (int how = 0; how < 3; ++how) {
        const bool markdown = how == 2;
        if (markdown && !whyMarkdownCannotHold(r, systems).isEmpty())
            continue;  // refused by Create File, with the reason
        const ReadmeEncoding encoding = how == 1 ? ReadmeEncoding::Utf8 : ReadmeEncoding::Windows1252;
        const QByteArray file = markdown ? readmeMarkdownBytes(r, systems) : readmeBytes(r, systems, encoding);
        const RecognisedReadme read = recogniseReadme(file);
        if (!read.recognised)
            broken("a readme Velmora wrote is recognised", file);
        if ((read.format == ReadmeFormat::Markdown) != markdown)
            broken("it is read in the layout it was written in", file);
        const QByteArray again = markdown ? readmeMarkdownBytes(read.record, read.compatibleSystems)
                                          : readmeBytes(read.record, read.compatibleSystems,
                                                        read.encoding == TextEncoding::Utf8 ? ReadmeEncoding::Utf8
                                                                                            : ReadmeEncoding::Windows1252);
        if (again != file)
            broken("what was read writes the same bytes again", file);
    }
    return 0;
}
