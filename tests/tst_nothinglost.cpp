// Nothing the user typed is lost or changed behind their back: buttons that
// answer the keyboard, no character silently written as "?", and drafts:
// what is typed reaches the disk while the program runs, and a run that did
// not end through Exit is offered back at the next start (No, and Exit
// leaving nothing behind, are driven on the real program by
// kill_and_restore.sh).
#include "Harness.h"
#include "core/drafts/DraftFile.h"
#include "ui/screens/Wizard.h"

#include <QDir>
#include <QElapsedTimer>
#include <QtTest>

using namespace velmora;
using namespace velmora::test;

class TestNothingLost : public ProgramSuite {
    Q_OBJECT

    QStringList drafts() const { return QDir(h->platform.userState).entryList({"*.draft"}, QDir::Files); }

    // This run's draft as a start would read it; nothing while there is none.
    std::optional<WizardValues> draft() const
    {
        const DraftRead read = readDraftFile(h->navigator->drafts().draftPath());
        return read.outcome == DraftReading::Read ? std::optional(read.values) : std::nullopt;
    }

private slots:
    // Return and keypad Enter press the focused button, on every screen,
    // once even when the key is held; in a text box they press nothing.
    void buttonKeys()
    {
        start();
        for (const ScreenId id : {ScreenId::Main, ScreenId::Program, ScreenId::Author, ScreenId::Preset, ScreenId::View}) {
            // The screen alone on display again, wherever the last button led.
            const auto showAgain = [&] {
                for (QWidget *w : QApplication::topLevelWidgets())
                    if (qobject_cast<Screen *>(w))
                        w->hide();
                h->navigator->show(id);
                h->platform.messageAnswers = {MessageAnswer::No};
                h->platform.dialogAnswers = {std::nullopt};
                return h->navigator->screen(id);
            };
            QWidget *s = showAgain();
            const QList<QPushButton *> buttons = s->findChildren<QPushButton *>();
            QVERIFY(buttons.size() >= 3);
            QObject counting;
            int clicks = 0;
            for (QPushButton *b : buttons)
                connect(b, &QAbstractButton::clicked, &counting, [&] { ++clicks; });
            for (QLineEdit *box : s->findChildren<QLineEdit *>()) {
                box->setFocus();
                QTest::keyClick(box, Qt::Key_Return);
                QTest::keyClick(box, Qt::Key_Enter, Qt::KeypadModifier);
            }
            QCOMPARE(clicks, 0);
            QVERIFY(s->isVisible());

            for (QPushButton *b : buttons) {
                for (const auto &[key, mods] : {std::pair(Qt::Key_Return, Qt::NoModifier),
                                                std::pair(Qt::Key_Enter, Qt::KeypadModifier)}) {
                    showAgain();
                    const int before = clicks;
                    b->setFocus();
                    QTest::keyClick(b, key, mods);
                    QKeyEvent held(QEvent::KeyPress, key, mods, QString(), true);
                    QApplication::sendEvent(b, &held);
                    QVERIFY2(clicks == before + 1, qPrintable(s->windowTitle() + ": " + b->text()));
                }
            }
        }
    }

    // A readme with characters that Windows-1252 cannot hold asks once,
    // after the Save dialog and before a byte is written, naming up to ten
    // of them; one that Windows-1252 holds is written as always, unasked.
    void charactersOutsideWindows1252_data()
    {
        QTest::addColumn<QString>("name");        // the author's, pasted
        QTest::addColumn<QString>("named");       // in the question; empty: none asked
        QTest::addColumn<int>("answer");          // MessageAnswer
        QTest::addColumn<QByteArray>("written");  // the name as it is in the file
        const QString polish = QStringLiteral("Łukasz Wiśniewski");
        QTest::newRow("Yes writes UTF-8") << polish << QStringLiteral("Ł ś") << int(MessageAnswer::Yes)
                                          << polish.toUtf8();
        QTest::newRow("Windows-1252 holds it: no question")
            << QStringLiteral("Jürgen Müller €") << QString() << int(MessageAnswer::Yes)
            << QByteArray("J\xfcrgen M\xfcller \x80");
        QTest::newRow("No: a character outside the basic plane is one \"?\"")
            << QStringLiteral("Pal 😀😀") << QStringLiteral("😀") << int(MessageAnswer::No) << QByteArray("Pal ??");
        const QString many = QStringLiteral("ĀāĂăĄąĆćĈĉĊċĀ");
        QTest::newRow("ten named, the rest counted")
            << many << QStringLiteral("Ā ā Ă ă Ą ą Ć ć Ĉ ĉ and 2 more") << int(MessageAnswer::Yes) << many.toUtf8();
    }

    void charactersOutsideWindows1252()
    {
        QFETCH(QString, name);
        QFETCH(QString, named);
        QFETCH(int, answer);
        QFETCH(QByteArray, written);
        start(acmePresets);
        AuthorScreen *a = h->walkToAuthor();
        QTest::keyClick(nameBox(a), Qt::Key_A, Qt::ControlModifier);
        paste(nameBox(a), name);
        const QString target = h->path("readme.txt");
        QVERIFY(writeFile(target, "older\r\n"));
        h->platform.calls.clear();
        h->platform.messageAnswers = {MessageAnswer(answer)};
        QByteArray whileAsked;
        h->platform.whileMessageShown = [&](const ScriptedPlatform::Call &) { whileAsked = readAll(target); };
        QByteArray expected = dataFile("readme_walkthrough.txt");
        expected.replace("Ann Author\r\n", written + "\r\n");
        QCOMPARE(h->createFile(target), expected);

        const auto &calls = h->platform.calls;
        QCOMPARE(calls.size(), size_t(named.isEmpty() ? 1 : 2));
        QCOMPARE(calls[0].kind, ScriptedPlatform::Kind::SaveDialog);
        if (!named.isEmpty()) {
            QCOMPARE(calls[1].title, QString("Save as UTF-8?"));
            QCOMPARE(calls[1].box, yesNoQuestion);  // Yes/No, question icon
            QCOMPARE(calls[1].owner, a);
            QCOMPARE(calls[1].text.split("\r\n").value(1), named);
            QCOMPARE(whileAsked, QByteArray("older\r\n"));
        }
    }

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

        // The program ends as a crash ends it, once what was typed is on
        // disk, and is started again in the same folders.
        h->navigator->drafts().flush();
        h->navigator.reset();
        h->navigator = std::make_unique<Navigator>(h->platform);
        h->platform.calls.clear();
        h->platform.messageAnswers = {MessageAnswer::Yes};
        m = start(newerPresets);
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

QTEST_MAIN(TestNothingLost)
#include "tst_nothinglost.moc"
