// libFuzzer target for presets.txt: any bytes, read the way readPresets reads
// them (Windows-1252, then the reading rules). Besides the sanitizers, it
// aborts when one of the rules below stops holding.

#include "core/text/Win1252.h"
#include "core/presets/PresetsFile.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void broken(const char *rule)
{
    std::fprintf(stderr, "broken rule: %s\n", rule);
    std::abort();
}

bool holdsQuote(const velmora::PresetRecord &record)
{
    const std::array<const QString *, 6> values = {
        &record.companyName, &record.webSite,    &record.languages,
        &record.neededFiles, &record.authorName, &record.authorEMail};
    for (const QString *value : values) {
        if (value->contains(u'"'))
            return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    // Every byte is one character, and the characters give the bytes back.
    const QString text = velmora::fromWindows1252(bytes);
    if (text.size() != bytes.size())
        broken("Windows-1252: one character per byte");
    if (velmora::toWindows1252(text) != bytes)
        broken("Windows-1252: bytes -> text -> the same bytes");

    const velmora::PresetRecord record = velmora::parsePresets(text);

    // What Set writes for a record is read back as that record. The format has
    // no escape for a double quote, so Set refuses such values.
    if (!holdsQuote(record)) {
        const QByteArray line = velmora::presetRecordLine(record);
        if (velmora::parsePresets(velmora::fromWindows1252(line)) != record)
            broken("a written record line reads back as the same record");
        // Written after a file that ends with a complete record, the line is
        // the last record.
        const QByteArray twice = line + line;
        if (velmora::parsePresets(velmora::fromWindows1252(twice)) != record)
            broken("the last of two written records is read");
    }

    // Blank lines and spaces at the end change nothing, as long as no quote
    // is open to take them in.
    if (!text.contains(u'"')) {
        const QString padded = text + QStringLiteral("\r\n  \r\r\n\n ");
        if (velmora::parsePresets(padded) != record)
            broken("blank lines at the end change nothing");
    }
    return 0;
}
