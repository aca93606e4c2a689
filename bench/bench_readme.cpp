// The readme layout and writing the readme to disk.
#include "BenchSupport.h"

#include "platform/AtomicFile.h"
#include "readme/ReadmeLayout.h"
#include "readme/ReadmeRecord.h"

#include <QStringList>

namespace velmora::bench {

namespace {

// A record whose six multi-line fields share `fieldChars` characters of
// prose (CR LF line ends, as the boxes give them); the one-line fields and
// the list are what a real readme has.
ReadmeRecord largeRecord(std::int64_t fieldChars)
{
    const std::int64_t each = fieldChars / 6;
    const QString prose = proseText(fieldChars - 5 * each);
    const QString part = prose.left(qsizetype(each));
    ReadmeRecord r;
    r.programName = QStringLiteral("Pixel Pal");
    r.version = QStringLiteral("2.1a");
    r.company = QStringLiteral("Acme Tools");
    r.webSite = QStringLiteral("https://acme.example");
    r.language = QStringLiteral("English, German");
    r.programType = QStringLiteral("Freeware");
    r.authorName = QStringLiteral("Ann Author");
    r.authorEMail = QStringLiteral("ann@acme.example");
    r.filesNeeded = part;
    r.description = prose;  // the remainder, so the six add up exactly
    r.instructions = part;
    r.newAdditions = part;
    r.features = part;
    r.additions = part;
    // Each field its own string, as when typed into its own box.
    r.filesNeeded.detach();
    r.instructions.detach();
    r.newAdditions.detach();
    r.features.detach();
    r.additions.detach();
    return r;
}

const QStringList compatibleSystems = {QStringLiteral("Windows 95"), QStringLiteral("Windows 98"),
                                       QStringLiteral("Windows NT 4.0"),
                                       QStringLiteral("Windows 2000")};

// readmeBytes alone: the record to the file's bytes.
void BM_ReadmeLayout(benchmark::State &state)
{
    const ReadmeRecord record = largeRecord(state.range(0));
    std::int64_t bytes = 0;
    for (auto _ : state) {
        const QByteArray out = readmeBytes(record, compatibleSystems);
        bytes = out.size();
        benchmark::DoNotOptimize(out.constData());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

// writeFileAtomically alone, against open/write/fdatasync/close of the same
// bytes: QSaveFile calls fdatasync() in commit() (Qt 6.4; strace shows it),
// so the limit syncs too.
void BM_WriteAtomically(benchmark::State &state)
{
    const QByteArray bytes = readmeBytes(largeRecord(state.range(0)), compatibleSystems);
    const QString target = workPath(QStringLiteral("readme.txt"));
    const QString plain = workPath(QStringLiteral("plain.txt"));
    runPaired(
        state,
        [&] {
            if (!writeFileAtomically(target, bytes))
                state.SkipWithError("writeFileAtomically failed");
        },
        [&] { plainWrite(plain, bytes, true); });
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

// What Create File costs: readmeBytes, then writeFileAtomically; against the
// plain write (with fdatasync) of the same bytes.
void BM_LayoutAndWrite(benchmark::State &state)
{
    const ReadmeRecord record = largeRecord(state.range(0));
    const QByteArray reference = readmeBytes(record, compatibleSystems);
    const QString target = workPath(QStringLiteral("readme.txt"));
    const QString plain = workPath(QStringLiteral("plain.txt"));
    runPaired(
        state,
        [&] {
            if (!writeFileAtomically(target, readmeBytes(record, compatibleSystems)))
                state.SkipWithError("writeFileAtomically failed");
        },
        [&] { plainWrite(plain, reference, true); });
    state.SetBytesProcessed(state.iterations() * reference.size());
}

// The limit on its own, for the table: one write() and fdatasync().
void BM_PlainWriteSync(benchmark::State &state)
{
    const QByteArray bytes = readmeBytes(largeRecord(state.range(0)), compatibleSystems);
    const QString plain = workPath(QStringLiteral("plain.txt"));
    for (auto _ : state)
        plainWrite(plain, bytes, true);
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

}  // namespace

BENCHMARK(BM_ReadmeLayout)->Apply(growingSizes)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutAndWrite)->Apply(growingSizes)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteAtomically)->Apply(growingSizes)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWriteSync)->Apply(growingSizes)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace velmora::bench
