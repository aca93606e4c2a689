// The viewer's whole-file reader with its decoding, against a plain read.
#include "BenchSupport.h"

#include "core/text/WholeFile.h"

namespace velmora::bench {

namespace {

void timeReadWholeFile(benchmark::State &state, Encoding encoding)
{
    const QByteArray bytes = proseBytes(state.range(0), encoding);
    const QString path =
        workPath(QStringLiteral("whole-%1-%2.txt")
                     .arg(encoding == Encoding::Utf8 ? QStringLiteral("utf8") : QStringLiteral("cp1252"))
                     .arg(state.range(0)));
    writeFileOrDie(path, bytes);
    // The characters expected: the Windows-1252 file has one per byte.
    const qsizetype expected = encoding == Encoding::Utf8 ? QString::fromUtf8(bytes).size()
                                                          : bytes.size();
    runPaired(
        state,
        [&] {
            if (velmora::readWholeFile(path).size() != expected)
                state.SkipWithError("readWholeFile gave the wrong text");
        },
        [&] { plainRead(path); });
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_ReadWholeFile_Cp1252(benchmark::State &state)
{
    timeReadWholeFile(state, Encoding::Windows1252);
}

void BM_ReadWholeFile_Utf8(benchmark::State &state)
{
    timeReadWholeFile(state, Encoding::Utf8);
}

// The limit alone, for the table.
void BM_PlainRead(benchmark::State &state)
{
    const QString path = workPath(QStringLiteral("plain-read-%1.txt").arg(state.range(0)));
    writeFileOrDie(path, proseBytes(state.range(0), Encoding::Windows1252));
    for (auto _ : state)
        plainRead(path);
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_ReadWholeFile_Cp1252)->Apply(growingSizes)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWholeFile_Utf8)->Apply(growingSizes)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainRead)->Apply(growingSizes)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace velmora::bench
