// Drafts as the user meets them: what is typed reaches the disk while the
// program runs, a run that did not end through Exit is offered back at the
// next start (No, and Exit leaving nothing behind, are driven on the real
// program by kill_and_restore.sh).
#include "Harness.h"
#include "core/drafts/DraftFile.h"
#include "ui/screens/Wizard.h"

#include <QDir>
#include <QElapsedTimer>
#include <QtTest>

using namespace velmora;
using namespace velmora::test;

class TestRestore : public ProgramSuite {
    Q_OBJECT

    QStringList drafts() const { return QDir(h->platform.userState).entryList({"*.draft"}, QDir::Files); }

    // This run's draft as a start would read it; nothing while there is none.
    std::optional<WizardValues> draft() const
    {
        const DraftRead read = readDraftFile(h->navigator->drafts().draftPath());
        return read.outcome == DraftReading::Read ? std::optional(read.values) : std::nullopt;
    }

    // The program ends as a crash ends it, once what was typed is on disk,
    // and is started again in the same folders with the given presets; the
    // next message box is answered as given.
    GeneralInfoScreen *crashAndStart(const QByteArray &presets, MessageAnswer answer)
    {
        h->navigator->drafts().flush();
        h->navigator.reset();
        h->navigator = std::make_unique<Navigator>(h->platform);
        h->platform.calls.clear();
        h->platform.messageAnswers = {answer};
        return start(presets);
    }

private slots:
    // Nothing is written while nothing is typed; a draft comes a short while
    // after the first key however long the typing goes on; a change of
    // screen writes at once, the record included.
    void typingReachesTheDisk()
    {
        GeneralInfoScreen *m = start(acmePresets);
        h->navigator->drafts().flush();
        QVERIFY(drafts().isEmpty());  // presets alone are no typing
        QElapsedTimer typing;
        typing.start();
        while (!draft() && typing.elapsed() < 12 * DraftKeeper::writeDelayMs) {
            QTest::keyClick(webBox(m), Qt::Key_A);
            QTest::qWait(50);
        }
        QVERIFY2(draft().has_value(), "no draft while the typing went on");
        QTest::keyClicks(nameBox(m), "Quick");
        h->toProgram();
        h->navigator->drafts().waitForWriter();
        QCOMPARE(draft()->record.programName, QString("Quick"));
    }

    // Killed after typing on all three screens; the next start asks once,
    // and Yes puts back every box, both lists in their order, the type, the
    // record and what the presets filled, without showing another screen.
    // Presets changed meanwhile: what was typed stays, what the presets put
    // there follows them.
    void yesPutsEverythingBack()
    {
        GeneralInfoScreen *m = start(acmePresets);
        retype(nameBox(h->walkToAuthor()), "Bo Builder");  // not copied yet
        QTest::mouseClick(mainButton(h->author()), Qt::LeftButton);
        QTest::keyClick(companyBox(m), Qt::Key_End);
        QTest::keyClicks(companyBox(m), " Ltd");
        doubleClickRow(osList(m), rowOf(osList(m), "Windows 95"));
        doubleClickRow(compatibleList(m), rowOf(compatibleList(m), "Windows 98"));  // to the end of the OS list
        QTest::keyClicks(additionsBox(h->toProgram()), "Small.");                // not copied yet
        const WizardValues before = wizardValues(*h->navigator, h->context());
        const QString oldDraft = h->navigator->drafts().draftPath();

        m = crashAndStart(newerPresets, MessageAnswer::Yes);
        const auto boxes = h->platform.messages();
        QCOMPARE(boxes.size(), size_t(1));
        QCOMPARE(boxes[0].title, QString("Restore?"));
        QCOMPARE(boxes[0].box, yesNoQuestion);
        QCOMPARE(boxes[0].owner, m);
        QVERIFY(wizardValues(*h->navigator, h->context()) == before);
        QVERIFY(m->isVisible() && !h->program()->isVisible() && !h->author()->isVisible());
        // The dead run's draft goes once this run's holds the same.
        h->navigator->drafts().flush();
        QVERIFY(!QFile::exists(oldDraft));
        QCOMPARE(drafts().size(), 1);

        QTest::mouseClick(mainButton(h->toProgram()), Qt::LeftButton);
        QCOMPARE(companyBox(m)->text(), QString("Acme Tools Ltd"));
        QCOMPARE(webBox(m)->text(), QString("newer.example"));
    }

    // A state folder that cannot be made costs the draft alone: no box, and
    // Create File writes as always.
    void noDraftCostsNothingElse()
    {
        QVERIFY(writeFile(h->path("state"), "a file where the folder should be"));
        h->platform.userState = h->path("state/velmora");
        start(acmePresets);
        h->walkToAuthor();
        h->navigator->drafts().flush();
        QVERIFY(h->navigator->drafts().draftPath().isEmpty());
        QCOMPARE(h->createFile(h->path("readme.txt")), dataFile("readme_walkthrough.txt"));
        QVERIFY(h->platform.messages().empty());
    }
};

QTEST_MAIN(TestRestore)
#include "tst_restore.moc"
