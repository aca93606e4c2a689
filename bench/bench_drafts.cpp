// Typing while drafts are kept: the real general-info screen, one box
// holding 1 MiB (files needed), keys typed into another at a fast typist's
// pace, with drafts kept in a state folder and with none.
#include "BenchSupport.h"

#include "ui/app/Navigator.h"
#include "core/drafts/DraftFile.h"
#include "core/text/AtomicFile.h"
#include "ui/screens/GeneralInfoScreen.h"
#include "ui/toolkit/Platform.h"
#include "ui/toolkit/Input.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>
#include <thread>

namespace velmora::bench {

namespace {

// Answers nothing (no box is shown while typing); drafts go to stateFolder,
// none when it is empty.
class TypingPlatform : public Platform {
public:
    explicit TypingPlatform(QString stateFolder) : m_state(std::move(stateFolder)) {}
    MessageAnswer messageBox(QWidget *, const QString &, const QString &, const MessageKind &) override
    {
        return MessageAnswer::No;
    }
    std::optional<QString> saveFileDialog(QWidget *, FileDialog &) override { return std::nullopt; }
    std::optional<QString> openFileDialog(QWidget *, FileDialog &) override { return std::nullopt; }
    QString applicationFolder() const override { return workFolder(); }
    QString userConfigFolder() const override { return workFolder() + QStringLiteral("/config"); }
    QString userStateFolder() const override { return m_state; }
    QString documentsFolder() const override { return workFolder(); }
    void showHelpContents(HelpViewer &, const QString &) override {}

private:
    QString m_state;
};

// One key as the desktop delivers it, and everything it sets off (the
// draft's timer included, when it is due) handled.
void typeKey(QWidget *box, QChar character)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QString(character));
    QApplication::sendEvent(box, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QString(character));
    QApplication::sendEvent(box, &release);
    QCoreApplication::processEvents();
}

// 300 keys, one every 20 ms (50 a second, faster than anyone types): six
// seconds of typing, so that the draft is written several times meanwhile.
// Time per key (manual time, the pauses left out), and the slowest key.
void BM_TypingBesideALargeField(benchmark::State &state)
{
    const bool drafts = state.range(0) != 0;
    const QString stateFolder = workPath(QStringLiteral("state-%1").arg(drafts));
    TypingPlatform platform(drafts ? stateFolder : QString());
    auto navigator = std::make_unique<Navigator>(platform);
    navigator->show(ScreenId::Main);
    auto *main = static_cast<GeneralInfoScreen *>(navigator->screen(ScreenId::Main));
    static_cast<look::MultiLineBox *>(named<QPlainTextEdit>(main, "Files needed"))->setText(proseText(MiB));
    QCoreApplication::processEvents();
    named<QLineEdit>(main, "Web site")->setFocus();

    std::int64_t slowest = 0;
    std::int64_t keys = 0;
    for (auto _ : state) {
        const std::int64_t t0 = monotonicNs();
        typeKey(named<QLineEdit>(main, "Web site"), QChar(char16_t(u'a' + keys % 26)));
        const std::int64_t took = monotonicNs() - t0;
        state.SetIterationTime(seconds(took));
        slowest = std::max(slowest, took);
        ++keys;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    navigator->drafts().waitForWriter();
    state.counters["slowest_ms"] = double(slowest) / 1e6;
    const QString draft = navigator->drafts().draftPath();
    state.counters["draft_KiB"] = draft.isEmpty() ? 0.0 : double(QFile(draft).size()) / 1024.0;
    navigator.reset();
}

// What the writer's thread does with each draft, here with one field of
// 1 MiB: the bytes made, then written through the atomic writer. This is
// the wait that typing would have if it were done where the typing is.
void BM_DraftWrite(benchmark::State &state)
{
    WizardValues values;
    values.filesNeeded.text = proseText(state.range(0));
    values.name = QStringLiteral("Pixel Pal");
    const QString path = workPath(QStringLiteral("bench.draft"));
    for (auto _ : state) {
        const QByteArray bytes = draftBytes(values);
        if (!writeFileAtomically(path, bytes)) {
            state.SkipWithError("the draft could not be written");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}

}  // namespace

BENCHMARK(BM_DraftWrite)->Arg(MiB)->UseRealTime()->Unit(benchmark::kMillisecond);

BENCHMARK(BM_TypingBesideALargeField)
    ->ArgName("drafts")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(300)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace velmora::bench
