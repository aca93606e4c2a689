// The presets reader: ReadPresets (file to record) and parsePresets alone.
#include "BenchSupport.h"

#include "platform/Win1252.h"
#include "presets/PresetsFile.h"

#include <QDir>

namespace velmora::bench {

namespace {

// The line Set writes.
const QByteArray oneRecord =
    "\"Acme Tools\",\"https://acme.example\",\"English, German\",\"acme.dll\","
    "\"Ann Author\",\"ann@acme.example\"\r\n";

// A file a person made by hand and let grow: record after record, some
// values quoted and some not, blank lines, an accented name (0xE9), LF
// alone here and there; exactly `size` bytes. The last record is the one
// read. Returns the record expected.
QByteArray handMadePresets(std::int64_t size, PresetRecord *last)
{
    QByteArray out;
    out.reserve(qsizetype(size));
    const QByteArray finalLine =
        "\"Last Company\",\"https://last.example\",\"English\",\"last.dll\","
        "\"Zo\xE9 Author\",\"zoe@last.example\"\r\n";
    int n = 0;
    while (out.size() + 120 + finalLine.size() < size) {
        const QByteArray number = QByteArray::number(n);
        switch (n % 4) {
        case 0: out += oneRecord; break;
        case 1:
            out += "Company " + number + ", https://c" + number
                   + ".example, English, file" + number + ".dll, Ren\xE9 Author, r@c.example\r\n";
            break;
        case 2: out += "\r\n  \r\n"; break;  // blank lines between records
        case 3:
            out += "\"Big, Co " + number + "\",\"https://big.example\",\"German\",\"a.dll, b.dll\","
                   "\"B Author\",\"b@big.example\"\n";
            break;
        }
        ++n;
    }
    // Blank lines, then the last record, make up the exact size.
    const qsizetype pad = qsizetype(size) - out.size() - finalLine.size();
    if (pad > 0)
        out += QByteArray(pad, '\n');
    out += finalLine;
    out.truncate(qsizetype(size));
    if (last) {
        last->companyName = QStringLiteral("Last Company");
        last->webSite = QStringLiteral("https://last.example");
        last->languages = QStringLiteral("English");
        last->neededFiles = QStringLiteral("last.dll");
        last->authorName = QStringLiteral("Zo\u00E9 Author");
        last->authorEMail = QStringLiteral("zoe@last.example");
    }
    return out;
}

// A folder holding presets.txt with the given bytes.
QString presetsFolder(const QString &name, const QByteArray &bytes)
{
    const QString folder = workPath(name);
    QDir().mkpath(folder);
    writeFileOrDie(presetsPath(folder), bytes);
    return folder;
}

// The presets.txt the program writes: one record.
void BM_ReadPresets_OneRecord(benchmark::State &state)
{
    const QString folder = presetsFolder(QStringLiteral("presets-one"), oneRecord);
    const QString file = presetsPath(folder);
    runPaired(
        state,
        [&] {
            if (ReadPresets(folder, QString()).companyName != QLatin1String("Acme Tools"))
                state.SkipWithError("ReadPresets read the wrong record");
        },
        [&] { plainRead(file); });
    state.SetBytesProcessed(state.iterations() * oneRecord.size());
}

// A hand-made file of 1 KiB, 1 MiB, 10 MiB, against a plain read of it.
void BM_ReadPresets(benchmark::State &state)
{
    PresetRecord expected;
    const QByteArray bytes = handMadePresets(state.range(0), &expected);
    const QString folder =
        presetsFolder(QStringLiteral("presets-%1").arg(state.range(0)), bytes);
    const QString file = presetsPath(folder);
    runPaired(
        state,
        [&] {
            if (!(ReadPresets(folder, QString()) == expected))
                state.SkipWithError("ReadPresets read the wrong record");
        },
        [&] { plainRead(file); });
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

// The parser alone, on the decoded text.
void BM_ParsePresets(benchmark::State &state)
{
    PresetRecord expected;
    const QString text = fromWindows1252(handMadePresets(state.range(0), &expected));
    for (auto _ : state) {
        const PresetRecord record = parsePresets(text);
        if (!(record == expected))
            state.SkipWithError("parsePresets read the wrong record");
        benchmark::DoNotOptimize(record);
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}

}  // namespace

BENCHMARK(BM_ReadPresets_OneRecord)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadPresets)->Apply(growingSizes)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParsePresets)->Apply(growingSizes)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace velmora::bench
