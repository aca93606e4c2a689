// The viewer's box: the real ViewerScreen, driven through its own buttons, with
// a platform whose open-file dialog answers at once with the file to show.
#include "BenchSupport.h"

#include "core/text/LineBreaks.h"
#include "ui/toolkit/Platform.h"
#include "ui/toolkit/Input.h"
#include "ui/app/Navigator.h"
#include "core/text/WholeFile.h"
#include "ui/screens/ViewerScreen.h"

#include <QCoreApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace velmora::bench {

namespace {

// Answers every dialog at once; nothing else is used by the viewer.
class BenchPlatform : public Platform {
public:
    QString fileToOpen;

    MessageAnswer messageBox(QWidget *, const QString &, const QString &, const MessageKind &) override
    {
        return MessageAnswer::Ok;
    }
    std::optional<QString> saveFileDialog(QWidget *, FileDialog &) override { return std::nullopt; }
    std::optional<QString> openFileDialog(QWidget *, FileDialog &dialog) override
    {
        dialog.fileName = fileToOpen;
        return fileToOpen;
    }
    QString applicationFolder() const override { return workFolder(); }
    QString userConfigFolder() const override { return workFolder() + QStringLiteral("/config"); }
    QString userStateFolder() const override { return QString(); }
    QString documentsFolder() const override { return workFolder(); }
    void showHelpContents(HelpViewer &, const QString &) override {}
};

// A readme-like file (Windows-1252, CR LF, lines of up to 70 characters).
QString viewerFile(std::int64_t size, qsizetype *lines)
{
    const QByteArray bytes = proseBytes(size, Encoding::Windows1252);
    if (lines)
        *lines = bytes.count("\r\n") + 1;
    const QString path = workPath(QStringLiteral("viewer-%1.txt").arg(size));
    writeFileOrDie(path, bytes);
    return path;
}

// The shapes of file that cost the box the most, and two ordinary ones.
enum Shape : std::int64_t {
    Unbroken,   // one line of "x" without a space
    Words,      // one line of "word word ..."
    CrLines,    // 5-byte lines ended by CR alone ("abcd\r")
    EmptyLines, // empty lines ended by CR LF
    Nul,        // NUL bytes only
    Random,     // random bytes (a fixed generator)
    Readme,     // readme-like prose in CR LF lines of up to 70 characters
    LongWords,  // one line of the longest words that still wrap at words
    ZeroWidth,  // one line of zero-width spaces (U+200B, in UTF-8)
    Mix,        // lines of zero-width spaces, then CR-only lines
    ShapeCount
};

const char *shapeName(std::int64_t shape)
{
    static const char *const names[] = {"unbroken line", "one line of words", "CR-only lines",
                                        "empty CR LF lines", "NUL bytes", "random bytes",
                                        "readme-like", "one line of long words",
                                        "zero-width spaces", "zero-width lines, then short lines"};
    return names[shape];
}

// A file of the shape, `size` bytes long; or, for size atTheLimits, the
// largest file of the shape that the viewer still shows: the line shapes
// with maxViewerFileLines lines, the one-line shapes as maxViewerFileBytes
// bytes in lines of maxViewerLineChars characters (a CR LF after each), the
// others maxViewerFileBytes bytes.
constexpr std::int64_t atTheLimits = -1;

// `count` characters of a one-line shape, from its n-th on.
void appendRun(QByteArray &out, std::int64_t shape, std::int64_t count, std::uint64_t &random)
{
    const char *const units[] = {"x",     "word ", "abcd\r", "\r\n",        nullptr,
                                 nullptr, nullptr, nullptr,  "\xE2\x80\x8B"};
    for (std::int64_t i = 0; i < count; ++i) {
        if (const char *unit = units[shape]) {
            const std::size_t n = std::strlen(unit);
            // U+200B is one character of three bytes; the others, one per byte.
            if (shape == ZeroWidth)
                out.append(unit, 3);
            else
                out.append(unit[std::size_t(i) % n]);
        } else if (shape == LongWords) {
            // Runs of the longest length that still wraps at words.
            out.append(i % (maxWordWrapRunChars + 1) == maxWordWrapRunChars ? ' ' : 'x');
        } else if (shape == Random) {
            random = random * 6364136223846793005ULL + 1442695040888963407ULL;
            out.append(char(random >> 56));
        } else {
            out.append('\0');
        }
    }
}

QByteArray shapeBytes(std::int64_t shape, std::int64_t size)
{
    if (shape == Readme)
        return proseBytes(size == atTheLimits ? maxViewerFileBytes : size, Encoding::Windows1252);
    std::uint64_t random = 0x2545F4914F6CDD1DULL;
    const std::int64_t bytesPerChar = shape == ZeroWidth ? 3 : 1;
    QByteArray bytes;
    if (shape == Mix) {  // only at the limits
        // The worst the limits let through: a first page of the longest
        // zero-width lines, then short lines up to the line limit.
        constexpr int longLines = 16;
        for (int i = 0; i < longLines; ++i) {
            appendRun(bytes, ZeroWidth, maxViewerLineChars, random);
            bytes.append("\r\n");
        }
        appendRun(bytes, CrLines, (maxViewerFileLines - longLines) * 5, random);
        return bytes;
    }
    if (size != atTheLimits) {
        bytes.reserve(qsizetype(size));
        appendRun(bytes, shape, size / bytesPerChar, random);
        return bytes;
    }
    if (shape == CrLines || shape == EmptyLines) {
        appendRun(bytes, shape, maxViewerFileLines * (shape == CrLines ? 5 : 2), random);
        return bytes;
    }
    if (shape == Random) {
        appendRun(bytes, shape, maxViewerFileBytes, random);
        return bytes;
    }
    // Lines of maxViewerLineChars characters, each with a CR LF, and a last
    // shorter one, up to maxViewerFileBytes.
    bytes.reserve(qsizetype(maxViewerFileBytes));
    const std::int64_t lineBytes = maxViewerLineChars * bytesPerChar + 2;
    while (bytes.size() + lineBytes <= maxViewerFileBytes) {
        appendRun(bytes, shape, maxViewerLineChars, random);
        bytes.append("\r\n");
    }
    appendRun(bytes, shape, (maxViewerFileBytes - bytes.size()) / bytesPerChar, random);
    return bytes;
}

// The whole process's peak resident memory (VmHWM), in MiB, and its reset
// to the present resident size, so that each opening is measured alone.
double peakResidentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

void resetPeakResident()
{
    if (std::FILE *f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

struct Viewer {
    BenchPlatform platform;
    Navigator navigator{platform};
    ViewerScreen *view = nullptr;

    Viewer()
    {
        platform.fileToOpen = viewerFile(100, nullptr);
        navigator.show(ScreenId::View);  // creates, loads, centres and shows it
        view = static_cast<ViewerScreen *>(navigator.screen(ScreenId::View));
        QCoreApplication::processEvents();
    }

    // Clear, as the user would before opening another file (not timed: it
    // frees the previous document).
    void clear()
    {
        named<QPushButton>(view, "Clear")->click();
        QCoreApplication::processEvents();
    }

    // Until the box shows its first page and knows its scroll range.
    int shown()
    {
        QCoreApplication::processEvents();
        return named<QPlainTextEdit>(view, "View")->verticalScrollBar()->maximum();
    }
};

// Another..., a readme-like file of 1 MiB, 10 MiB or the byte limit, until
// the first page is shown.
void BM_Viewer(benchmark::State &state)
{
    qsizetype lines = 0;
    const QString path = viewerFile(state.range(0), &lines);
    Viewer viewer;
    int scrollMax = 0;
    for (auto _ : state) {
        viewer.clear();
        viewer.platform.fileToOpen = path;
        const std::int64_t t0 = monotonicNs();
        named<QPushButton>(viewer.view, "Another")->click();
        scrollMax = viewer.shown();
        state.SetIterationTime(seconds(monotonicNs() - t0));
        if (named<QPlainTextEdit>(viewer.view, "View")->blockCount() != lines || scrollMax <= 0)
            state.SkipWithError("the viewer does not show the whole file");
    }
    state.counters["lines"] = benchmark::Counter(double(lines));
    state.counters["scroll_max"] = benchmark::Counter(scrollMax);
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

// The same, one step at a time, to show where the time goes:
// readWholeFile (read + decode), toLf, setPlainText, first page.
void BM_ViewerSteps(benchmark::State &state)
{
    qsizetype lines = 0;
    const QString path = viewerFile(state.range(0), &lines);
    Viewer viewer;
    std::int64_t steps[4] = {};
    for (auto _ : state) {
        viewer.clear();
        const std::int64_t t0 = monotonicNs();
        const QString text = readWholeFile(path);
        const std::int64_t t1 = monotonicNs();
        const QString lf = toLf(text);
        const std::int64_t t2 = monotonicNs();
        named<QPlainTextEdit>(viewer.view, "View")->setPlainText(lf);
        const std::int64_t t3 = monotonicNs();
        viewer.shown();
        const std::int64_t t4 = monotonicNs();
        steps[0] += t1 - t0;
        steps[1] += t2 - t1;
        steps[2] += t3 - t2;
        steps[3] += t4 - t3;
        state.SetIterationTime(seconds(t4 - t0));
    }
    const double n = double(state.iterations());
    state.counters["read_decode_s"] = benchmark::Counter(seconds(steps[0]) / n);
    state.counters["to_lf_s"] = benchmark::Counter(seconds(steps[1]) / n);
    state.counters["set_plain_text_s"] = benchmark::Counter(seconds(steps[2]) / n);
    state.counters["first_page_s"] = benchmark::Counter(seconds(steps[3]) / n);
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

// Another... on a file of each shape, until the box is laid out and shows
// its first page: the time, the whole process's peak memory during it, and
// whether the box shows the file whole (1) or refused it (0).
void BM_ViewerShape(benchmark::State &state)
{
    const std::int64_t shape = state.range(0);
    const std::int64_t size = state.range(1);
    const QString path = workPath(QStringLiteral("shape-%1-%2.txt").arg(shape).arg(size));
    QString expected;
    qsizetype fileBytes = 0;
    {
        const QByteArray bytes = shapeBytes(shape, size);
        fileBytes = bytes.size();
        writeFileOrDie(path, bytes);
    }
    expected = toLf(readWholeFile(path));
    expected.replace(QChar::ParagraphSeparator, u'\n');
    Viewer viewer;
    double peak = 0;
    std::int64_t lastNs = 0;  // the slowest opening
    bool whole = false;
    for (auto _ : state) {
        viewer.clear();
        viewer.platform.fileToOpen = path;
        QCoreApplication::processEvents();
        resetPeakResident();
        const std::int64_t t0 = monotonicNs();
        named<QPushButton>(viewer.view, "Another")->click();
        viewer.shown();
        lastNs = std::max(lastNs, monotonicNs() - t0);
        state.SetIterationTime(seconds(lastNs));
        peak = std::max(peak, peakResidentMiB());
        // The raw text: toPlainText() would give a no-break space as a space.
        QString shown = named<QPlainTextEdit>(viewer.view, "View")->document()->toRawText();
        shown.replace(QChar::ParagraphSeparator, u'\n');
        whole = !expected.isEmpty() && shown == expected;
        if (!whole && !shown.isEmpty())
            state.SkipWithError("the viewer shows text that is not the file's");
    }
    if (shape == Readme && !whole)
        state.SkipWithError("readme-like text within the byte limit is not shown whole");
    const QString label = QLatin1String(shapeName(shape))
                          + (size == atTheLimits ? QStringLiteral(", the largest shown") : QString());
    state.SetLabel(label.toStdString());
    state.counters["peak_rss_mib"] = benchmark::Counter(peak);
    // The bounds: within 3 s, the whole program under 600 MiB.
    state.counters["within_bounds"] = benchmark::Counter(
        seconds(lastNs) < 3.0 && peak < 600.0 ? 1 : 0);
    state.counters["shown_whole"] = benchmark::Counter(whole ? 1 : 0);
    state.counters["file_bytes"] = benchmark::Counter(double(fileBytes));
}

void viewerShapes(benchmark::internal::Benchmark *b)
{
    for (std::int64_t shape = 0; shape < Mix; ++shape) {
        for (std::int64_t size : {MiB, 8 * MiB, std::int64_t(maxViewerFileBytes), atTheLimits})
            b->Args({shape, size});
    }
    b->Args({Mix, atTheLimits});
    b->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
}

void viewerSizes(benchmark::internal::Benchmark *b)
{
    // 1 MiB, 10 MiB and the largest file the viewer shows.
    b->Arg(1 * MiB)->Arg(10 * MiB)->Arg(maxViewerFileBytes);
    b->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_Viewer)->Apply(viewerSizes);
BENCHMARK(BM_ViewerSteps)->Apply(viewerSizes);
BENCHMARK(BM_ViewerShape)->Apply(viewerShapes);

}  // namespace velmora::bench
