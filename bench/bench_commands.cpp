// velmora update as a release script runs it: a typical readme read, two
// fields set (one from a file) and the readme written again, through the
// same core function that main calls before any application object exists.
#include "BenchSupport.h"

#include "core/commands/CommandLine.h"

#include <QFile>

namespace velmora::bench {

namespace {

void BM_UpdateCommand(benchmark::State &state)
{
    const QString readme = workPath(QStringLiteral("update-readme.txt"));
    const QString news = workPath(QStringLiteral("NEWS"));
    QFile::remove(readme);
    if (!QFile::copy(QStringLiteral(VELMORA_TEST_DATA "/readme_full.txt"), readme)) {
        state.SkipWithError("cannot copy tests/data/readme_full.txt");
        return;
    }
    QFile file(news);
    if (!file.open(QIODevice::WriteOnly) || file.write("Faster start.\nA preview.\n") <= 0) {
        state.SkipWithError("cannot write NEWS");
        return;
    }
    file.close();
    int version = 0;
    for (auto _ : state) {
        // Another version each time, so that every run really changes the file.
        const CommandLineAnswer answer = readCommandLine(
            {QStringLiteral("update"), readme, QStringLiteral("--set"),
             QStringLiteral("version=1.%1").arg(++version % 1000), QStringLiteral("--set"),
             QStringLiteral("new-additions=@") + news});
        if (answer.exitCode != 0) {
            state.SkipWithError(qPrintable(answer.standardError));
            return;
        }
    }
    state.counters["limit_ms"] = 100;
}
BENCHMARK(BM_UpdateCommand)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace velmora::bench
