// The readme layout, and Create File: the layout written to disk.
#include "BenchSupport.h"

#include "core/text/AtomicFile.h"
#include "core/readme/TextLayout.h"
#include "core/readme/ReadmeRecord.h"

#include <QStringList>

namespace velmora::bench {

namespace {

// A record whose six multi-line fields share `chars` characters of prose,
// each field its own string as when typed into its own box; the one-line
// fields and the list are what a real readme has.
ReadmeRecord largeRecord(std::int64_t chars)
{
    const std::int64_t each = chars / 6;
    ReadmeRecord r;
    r.programName = QStringLiteral("Pixel Pal");
    r.version = QStringLiteral("2.1a");
    r.company = QStringLiteral("Acme Tools");
    r.webSite = QStringLiteral("https://acme.example");
    r.language = QStringLiteral("English, German");
    r.programType = QStringLiteral("Freeware");
    r.authorName = QStringLiteral("Ann Author");
    r.authorEMail = QStringLiteral("ann@acme.example");
    r.description = proseText(chars - 5 * each);  // the remainder, so the six add up exactly
    for (QString *field : {&r.filesNeeded, &r.instructions, &r.newAdditions, &r.features, &r.additions})
        *field = proseText(each);
    return r;
}

const QStringList systems = {QStringLiteral("Windows 95"), QStringLiteral("Windows 98"),
                             QStringLiteral("Windows NT 4.0"), QStringLiteral("Windows 2000")};

// readmeBytes alone: the record to the file's bytes.
void BM_ReadmeLayout(benchmark::State &state)
{
    const ReadmeRecord record = largeRecord(state.range(0));
    std::int64_t bytes = 0;
    for (auto _ : state) {
        const QByteArray out = readmeBytes(record, systems);
        bytes = out.size();
        benchmark::DoNotOptimize(out.constData());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

// Create File: readmeBytes, then writeFileAtomically over an existing file;
// against open/write/fdatasync/close of the same bytes (QSaveFile's commit
// calls fdatasync() in Qt 6.4, so the limit syncs too).
void BM_LayoutAndWrite(benchmark::State &state)
{
    const ReadmeRecord record = largeRecord(state.range(0));
    const QByteArray reference = readmeBytes(record, systems);
    const QString target = workPath(QStringLiteral("readme.txt"));
    const QString plain = workPath(QStringLiteral("plain.txt"));
    runPaired(
        state,
        [&] {
            if (!writeFileAtomically(target, readmeBytes(record, systems)))
                state.SkipWithError("writeFileAtomically failed");
        },
        [&] { plainWrite(plain, reference, true); });
    state.SetBytesProcessed(state.iterations() * reference.size());
}

}  // namespace

BENCHMARK(BM_ReadmeLayout)->Apply(growingSizes)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutAndWrite)->Apply(growingSizes)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace velmora::bench
