// Drafts as the user meets them: what is typed reaches the disk while the
// program runs, a run that did not end through Exit is offered back at the
// next start, and Exit leaves nothing behind.
#include "Harness.h"
#include "drafts/DraftFile.h"
#include "screens/Wizard.h"
#include "screens/frmAuthor.h"
#include "screens/frmMain.h"
#include "screens/frmProgram.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace velmora;
using namespace velmora::test;

namespace {

QStringList draftsIn(const QString &folder)
{
    return QDir(folder).entryList({"*.draft"}, QDir::Files);
}

// The draft of the run, as a start would read it; nothing while there is
// none.
std::optional<WizardValues> draftOf(Harness &h)
{
    const QString path = h.navigator->drafts().draftPath();
    if (path.isEmpty())
        return std::nullopt;
    const DraftRead read = readDraftFile(path);
    if (read.outcome != DraftReading::Read)
        return std::nullopt;
    return read.values;
}

// Everything a person types into the wizard on the way to Create File:
// every screen, two systems moved, a type picked, a preset box changed,
// Next pressed twice and the author's name changed.
void typeEverywhere(Harness &h)
{
    auto *main = h.start();
    QTest::keyClicks(main->txtMName, "Pixel Pal");
    QTest::keyClicks(main->txtMVer, "2.1");
    QTest::keyClick(main->txtMCompany, Qt::Key_End);
    QTest::keyClicks(main->txtMCompany, " Ltd");
    clickRow(main->lstMType, 2);
    doubleClickRow(main->lstMNCompat, rowOf(main->lstMNCompat, "Windows XP"));
    doubleClickRow(main->lstMNCompat, rowOf(main->lstMNCompat, "Windows 95"));
    QTest::mouseClick(main->cmdMNext, Qt::LeftButton);
    auto *program = h.program();
    QTest::keyClicks(program->txtPDesc, "Draws pixels.");
    QTest::keyClick(program->txtPDesc, Qt::Key_Return);
    QTest::keyClicks(program->txtPDesc, "Saves them too.");
    QTest::keyClicks(program->txtPNew, "Undo");
    QTest::mouseClick(program->cmdPNext, Qt::LeftButton);
    auto *author = h.author();
    QTest::keyClick(author->txtAName, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(author->txtAName, "Bo Builder");
    // Back to the program screen's text, which Next has not copied yet.
    QTest::mouseClick(author->cmdAMain, Qt::LeftButton);
    QTest::mouseClick(main->cmdMNext, Qt::LeftButton);
    QTest::keyClicks(program->txtPFeat, "Fast");
}

QByteArray createFile(Harness &h, const QString &name)
{
    auto *main = h.main();
    if (main->isVisible())
        QTest::mouseClick(main->cmdMNext, Qt::LeftButton);
    auto *program = h.program();
    if (program->isVisible())
        QTest::mouseClick(program->cmdPNext, Qt::LeftButton);
    h.platform.dialogAnswers = {h.path(name)};
    QTest::mouseClick(h.author()->cmdACreate, Qt::LeftButton);
    return readAll(h.path(name));
}

// A run that ends without Exit, as a crash ends it: its draft is written,
// then the program is gone (its lock with it).
QString crash(Harness &h)
{
    h.navigator->drafts().flush();
    const QString path = h.navigator->drafts().draftPath();
    h.navigator.reset();
    return path;
}

}  // namespace

class TestRestore : public QObject {
    Q_OBJECT

private slots:
    // Written a short while after the first change, however long the
    // typing goes on; nothing written while nothing is typed.
    void typingReachesTheDiskWhileTypingGoesOn()
    {
        Harness h(acmePresets);
        auto *main = h.start();
        QTest::qWait(2 * DraftKeeper::writeDelayMs);
        QVERIFY(draftsIn(h.platform.userState).isEmpty());  // presets alone are no typing

        // Into a box without a limit, so that every key changes it.
        QElapsedTimer typing;
        typing.start();
        int typed = 0;
        while (!draftOf(h) && typing.elapsed() < 12 * DraftKeeper::writeDelayMs) {
            QTest::keyClick(main->txtMWeb, Qt::Key_A);
            ++typed;
            QTest::qWait(50);
        }
        const std::optional<WizardValues> draft = draftOf(h);
        QVERIFY2(draft, "no draft while the typing went on");
        QVERIFY(draft->webSite.countsAsTyped());
        QVERIFY(draft->webSite.text.size() <= QString("https://acme.example").size() + typed);
        QCOMPARE(draft->company, (PresetBoxValue{"Acme Tools", QString("Acme Tools")}));
    }

    // A change of screen writes at once, the record included.
    void aChangeOfScreenWritesAtOnce()
    {
        Harness h;
        auto *main = h.start();
        QTest::keyClicks(main->txtMName, "Quick");
        QTest::mouseClick(main->cmdMNext, Qt::LeftButton);
        h.navigator->drafts().waitForWriter();
        const std::optional<WizardValues> draft = draftOf(h);
        QVERIFY(draft);
        QCOMPARE(draft->record.programName, QString("Quick"));
    }

    // Killed after typing on all three screens; the next start asks once,
    // and Yes puts back every box, both lists, the type, the record and what
    // the presets filled: Create File writes the same readme as before.
    void yesPutsEverythingBack()
    {
        Harness first(acmePresets);
        typeEverywhere(first);
        const QByteArray readme = createFile(first, "before.txt");
        const WizardValues before = wizardValues(*first.navigator, first.ctx());
        const QString oldDraft = crash(first);

        Harness second(acmePresets);
        second.platform.userState = first.platform.userState;
        second.platform.messageAnswers = {MessageAnswer::Yes};
        auto *main = second.start();
        const auto boxes = second.platform.messages();
        QCOMPARE(boxes.size(), size_t(1));
        QCOMPARE(boxes[0].title, QString("Restore?"));
        QCOMPARE(boxes[0].style, 4132);
        QCOMPARE(boxes[0].owner, main);
        QVERIFY(wizardValues(*second.navigator, second.ctx()) == before);
        // The other screens are made to hold their values, not shown.
        QVERIFY(main->isVisible());
        QVERIFY(!second.program()->isVisible());
        QVERIFY(!second.author()->isVisible());
        // The finished run's draft goes once this run's holds the same.
        second.navigator->drafts().flush();
        QVERIFY(!QFile::exists(oldDraft));
        QCOMPARE(draftsIn(second.platform.userState).size(), 1);

        QCOMPARE(createFile(second, "after.txt"), readme);
        // The author's name typed before the crash is no preset: it stays.
        QCOMPARE(second.author()->txtAName->text(), QString("Bo Builder"));
    }

    void noDeletesTheDraft()
    {
        Harness first(acmePresets);
        typeEverywhere(first);
        crash(first);
        Harness second(acmePresets);
        second.platform.userState = first.platform.userState;
        second.platform.messageAnswers = {MessageAnswer::No};
        auto *main = second.start();
        QCOMPARE(second.platform.messages().size(), size_t(1));
        QCOMPARE(entriesOf(second.platform.userState), QStringList());
        QVERIFY(main->txtMName->text().isEmpty());
        QCOMPARE(main->txtMCompany->text(), QString("Acme Tools"));
        QCOMPARE(main->lstMNCompat->count(), 7);
        // Offered once: the start after that asks nothing.
        Harness third(acmePresets);
        third.platform.userState = first.platform.userState;
        third.start();
        QVERIFY(third.platform.messages().empty());
    }

    void exitLeavesNothing()
    {
        Harness h;
        typeEverywhere(h);
        h.navigator->drafts().flush();
        QCOMPARE(draftsIn(h.platform.userState).size(), 1);
        h.platform.messageAnswers = {MessageAnswer::Yes};
        QTest::mouseClick(h.program()->cmdPMain, Qt::LeftButton);
        QTest::mouseClick(h.main()->cmdMExit, Qt::LeftButton);
        QVERIFY(h.navigator->isEnding());
        QCOMPARE(entriesOf(h.platform.userState), QStringList());
    }

    // Presets changed between the runs: what was typed comes back and stays;
    // a box the presets had filled goes on following them.
    void restoredTypingIsNeverReplaced()
    {
        Harness first(acmePresets);
        auto *main = first.start();
        QTest::keyClick(main->txtMCompany, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(main->txtMCompany, "Typed Co");
        crash(first);

        Harness second("\"Newer Co\",\"newer.example\",\"Dutch\",\"n.dll\",\"\",\"\"\r\n");
        second.platform.userState = first.platform.userState;
        second.platform.messageAnswers = {MessageAnswer::Yes};
        main = second.start();
        QCOMPARE(main->txtMCompany->text(), QString("Typed Co"));
        QCOMPARE(main->txtMWeb->text(), QString("https://acme.example"));
        QTest::mouseClick(main->cmdMNext, Qt::LeftButton);
        QTest::mouseClick(second.program()->cmdPMain, Qt::LeftButton);
        QCOMPARE(main->txtMCompany->text(), QString("Typed Co"));
        QCOMPARE(main->txtMWeb->text(), QString("newer.example"));
    }

    // A state folder that cannot be written costs the draft alone: no box,
    // typing and Create File as always.
    void noDraftCostsNothingElse()
    {
        Harness h(acmePresets);
        QVERIFY(writeFile(h.path("state"), "a file where the folder should be"));
        h.platform.userState = h.path("state/velmora");
        typeEverywhere(h);
        h.navigator->drafts().flush();
        QVERIFY(h.navigator->drafts().draftPath().isEmpty());
        QVERIFY(createFile(h, "readme.txt").contains("Pixel Pal - (ShareWare)"));
        QVERIFY(h.platform.messages().empty());
    }
};

QTEST_MAIN(TestRestore)
#include "tst_restore.moc"
