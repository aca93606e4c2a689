// The viewer's box: the real frmView, driven through its own buttons, with
// a platform whose open-file dialog answers at once with the file to show.
#include "BenchSupport.h"

#include "platform/LineBreaks.h"
#include "platform/Platform.h"
#include "app/Navigator.h"
#include "viewer/WholeFile.h"
#include "viewer/frmView.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

namespace velmora::bench {

namespace {

// Answers every dialog at once; nothing else is used by the viewer.
class BenchPlatform : public Platform {
public:
    QString fileToOpen;

    MessageAnswer messageBox(QWidget *, const QString &, const QString &, int) override
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

struct Viewer {
    BenchPlatform platform;
    Navigator navigator{platform};
    frmView *view = nullptr;

    Viewer()
    {
        platform.fileToOpen = viewerFile(100, nullptr);
        navigator.show(ScreenId::View);  // creates, loads, centres and shows it
        view = static_cast<frmView *>(navigator.screen(ScreenId::View));
        QCoreApplication::processEvents();
    }

    // Clear, as the user would before opening another file (not timed: it
    // frees the previous document).
    void clear()
    {
        view->cmdVClear->click();
        QCoreApplication::processEvents();
    }

    // Until the box shows its first page and knows its scroll range.
    int shown()
    {
        QCoreApplication::processEvents();
        return view->txtView->verticalScrollBar()->maximum();
    }
};

// Another..., a file of 1, 10 or 50 MiB, until the first page is shown.
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
        viewer.view->cmdVAnother->click();
        scrollMax = viewer.shown();
        state.SetIterationTime(seconds(monotonicNs() - t0));
        if (viewer.view->txtView->blockCount() != lines || scrollMax <= 0)
            state.SkipWithError("the viewer does not show the whole file");
    }
    state.counters["lines"] = benchmark::Counter(double(lines));
    state.counters["scroll_max"] = benchmark::Counter(scrollMax);
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

// The same, one step at a time, to show where the time goes:
// ReadWholeFile (read + decode), toLf, setPlainText, first page.
void BM_ViewerSteps(benchmark::State &state)
{
    qsizetype lines = 0;
    const QString path = viewerFile(state.range(0), &lines);
    Viewer viewer;
    std::int64_t steps[4] = {};
    for (auto _ : state) {
        viewer.clear();
        const std::int64_t t0 = monotonicNs();
        const QString text = ReadWholeFile(path);
        const std::int64_t t1 = monotonicNs();
        const QString lf = toLf(text);
        const std::int64_t t2 = monotonicNs();
        viewer.view->txtView->setPlainText(lf);
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

void viewerSizes(benchmark::internal::Benchmark *b)
{
    b->Arg(1 * MiB)->Arg(10 * MiB)->Arg(50 * MiB);
    b->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_Viewer)->Apply(viewerSizes);
BENCHMARK(BM_ViewerSteps)->Apply(viewerSizes);

}  // namespace velmora::bench
