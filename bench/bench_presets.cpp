// The presets reader, readPresets, on the file Set writes and on hand-made
// files that grew.
#include "BenchSupport.h"

#include "core/presets/PresetsFile.h"

#include <QDir>

namespace velmora::bench {

namespace {

// The line Set writes.
const QByteArray oneRecord =
    "\"Acme Tools\",\"https://acme.example\",\"English, German\",\"acme.dll\","
    "\"Ann Author\",\"ann@acme.example\"\r\n";

// A file a person made by hand and let grow, exactly `size` bytes: records
// quoted and unquoted, commas inside quotes, blank lines of spaces, LF alone,
// an accented name (0xE9); the last record, which is the one read, differs.
QByteArray handMadePresets(std::int64_t size)
{
    QByteArray out;
    for (int n = 0; out.size() + 200 < size; ++n) {
        const QByteArray i = QByteArray::number(n);
        out += n % 4 == 0 ? oneRecord
             : n % 4 == 1 ? "Company " + i + ", https://c" + i + ".example, English, f" + i
                                + ".dll, Ren\xE9 Author, r@c.example\r\n"
             : n % 4 == 2 ? QByteArray("\r\n  \r\n")
                          : "\"Big, Co " + i + "\",\"https://big.example\",\"German\",\"a.dll, "
                                "b.dll\",\"B Author\",\"b@big.example\"\n";
    }
    const QByteArray last = "\"Last Company\",\"https://last.example\",\"English\",\"last.dll\","
                            "\"Zo\xE9 Author\",\"zoe@last.example\"\r\n";
    out += QByteArray(qsizetype(size) - out.size() - last.size(), '\n');
    return out + last;
}

// readPresets on a folder holding presets.txt, against a plain read of it.
void timeReadPresets(benchmark::State &state, const QByteArray &bytes, const QString &company)
{
    const QString folder = workPath(QStringLiteral("presets-%1").arg(bytes.size()));
    QDir().mkpath(folder);
    writeFileOrDie(presetsPath(folder), bytes);
    runPaired(
        state,
        [&] {
            if (velmora::readPresets(folder, QString()).companyName != company)
                state.SkipWithError("readPresets read the wrong record");
        },
        [&] { plainRead(presetsPath(folder)); });
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_ReadPresets_OneRecord(benchmark::State &state)
{
    timeReadPresets(state, oneRecord, QStringLiteral("Acme Tools"));
}

void BM_ReadPresets(benchmark::State &state)
{
    timeReadPresets(state, handMadePresets(state.range(0)), QStringLiteral("Last Company"));
}

// A file larger than maxPresetsFileBytes: its size is looked up and it is
// not read, so the time does not grow with it (no limit beside it: a plain
// read of the file would cost thousands of times more).
void BM_ReadPresets_TooLarge(benchmark::State &state)
{
    const QString folder = workPath(QStringLiteral("presets-too-large"));
    QDir().mkpath(folder);
    writeFileOrDie(presetsPath(folder), handMadePresets(state.range(0)));
    for (auto _ : state) {
        if (!velmora::readPresets(folder, QString()).companyName.isEmpty())
            state.SkipWithError("a file over the limit was read");
    }
}

}  // namespace

BENCHMARK(BM_ReadPresets_OneRecord)->UseManualTime()->Unit(benchmark::kMicrosecond);
// Up to the largest file that is read (maxPresetsFileBytes), then one that
// is larger: looked up, not read, six empty values.
BENCHMARK(BM_ReadPresets)
    ->Arg(KiB)->Arg(64 * KiB)->Arg(maxPresetsFileBytes)
    ->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPresets_TooLarge)->Arg(16 * MiB)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace velmora::bench
