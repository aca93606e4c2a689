// Nothing the user typed is lost or changed behind their back: buttons that
// answer the keyboard, no character silently written as "?", and drafts:
// what is typed reaches the disk while the program runs, and a run that did
// not end through Exit is offered back at the next start (No, and Exit
// leaving nothing behind, are driven on the real program by
// kill_and_restore.sh).
#include "Harness.h"
#include "core/drafts/DraftFile.h"
#include "ui/screens/Wizard.h"

#include <QElapsedTimer>
#include <sys/resource.h>
#include <unistd.h>
#include <QtTest>

using namespace velmora;
using namespace velmora::test;

class TestNothingLost : public ProgramSuite {
    Q_OBJECT

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
        QObject counting;
        int clicks = 0;
        for (const ScreenId id : {ScreenId::Main, ScreenId::Program, ScreenId::Author, ScreenId::Preset, ScreenId::View}) {
            h->navigator->show(id);
            QWidget *s = h->navigator->screen(id);
            const QList<QPushButton *> buttons = s->findChildren<QPushButton *>();
            QVERIFY(buttons.size() >= 3);
            for (QPushButton *b : buttons)
                connect(b, &QAbstractButton::clicked, &counting, [&] { ++clicks; });
            for (QLineEdit *box : s->findChildren<QLineEdit *>()) {
                box->setFocus();
                QTest::keyClick(box, Qt::Key_Return);
                QTest::keyClick(box, Qt::Key_Enter, Qt::KeypadModifier);
            }
            QCOMPARE(clicks, 0);

            for (QPushButton *b : buttons) {
                for (const auto &[key, mods] : {std::pair(Qt::Key_Return, Qt::NoModifier),
                                                std::pair(Qt::Key_Enter, Qt::KeypadModifier)}) {
                    // The screen on display again, wherever the last button led.
                    h->navigator->show(id);
                    h->platform.messageAnswers = {MessageAnswer::No};
                    h->platform.dialogAnswers = {std::nullopt};
                    b->setFocus();
                    QTest::keyClick(b, key, mods);
                    QKeyEvent held(QEvent::KeyPress, key, mods, QString(), true);
                    QApplication::sendEvent(b, &held);
                    // A button that is off (Add with no name typed) presses nothing.
                    QVERIFY2(clicks == int(b->isEnabled()), qPrintable(s->windowTitle() + ": " + b->text()));
                    clicks = 0;
                }
            }
        }
    }

    // A readme with characters that Windows-1252 cannot hold asks, after
    // the Save dialog and before a byte is written, naming up to ten of
    // them; one that Windows-1252 holds is written as always, unasked. Once
    // written in UTF-8, the file stays UTF-8 without another question.
    void charactersOutsideWindows1252()
    {
        start(acmePresets);
        AuthorScreen *a = h->walkToAuthor();
        const QString target = h->path("readme.txt");
        QByteArray whileAsked;
        h->platform.whileMessageShown = [&](const ScriptedPlatform::Call &) { whileAsked = readAll(target); };
        const QString polish = QStringLiteral("Łukasz Wiśniewski"), many = QStringLiteral("ĀāĂăĄąĆćĈĉĊċĀ");
        // The author's name, pasted; what the question names (nothing: not
        // asked); the answer; the name as the file holds it.
        const std::tuple<QString, QString, MessageAnswer, QByteArray> cases[] = {
            {QStringLiteral("Jürgen Müller €"), QString(), MessageAnswer::Yes, "J\xfcrgen M\xfcller \x80"},
            // No writes nothing: no character becomes a "?".
            {QStringLiteral("Pal 😀😀"), QStringLiteral("😀"), MessageAnswer::No, QByteArray()},
            {many, QStringLiteral("Ā ā Ă ă Ą ą Ć ć Ĉ ĉ and 2 more"), MessageAnswer::Yes, many.toUtf8()},
            {polish, QString(), MessageAnswer::No, polish.toUtf8()},
            {QStringLiteral("Jürgen"), QString(), MessageAnswer::No, QStringLiteral("Jürgen").toUtf8()},
        };
        for (const auto &[name, named, answer, written] : cases) {
            QTest::keyClick(nameBox(a), Qt::Key_A, Qt::ControlModifier);
            paste(nameBox(a), name);
            if (QFile::exists(target))  // the file written last: replaced unasked
                QVERIFY(writeFile(target, "older\r\n"));
            h->platform.calls.clear();
            h->platform.messageAnswers = {answer};
            QByteArray expected = dataFile("readme_walkthrough.txt");
            QCOMPARE(h->createFile(target),
                     written.isNull() ? QByteArray("older\r\n") : expected.replace("Ann Author\r\n", written + "\r\n"));

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
    }

    // Nothing is written while nothing is typed; a draft comes a short while
    // after the first key however long the typing goes on; a change of
    // screen writes at once, the record included. Killed after typing on
    // all three screens, the next start asks once, and Yes puts back every
    // box, both lists in their order, the type, the record and what the
    // presets filled, without showing another screen. Presets changed
    // meanwhile: what was typed stays, what the presets put there follows
    // them.
    void typingReachesTheDiskAndYesPutsItBack()
    {
        GeneralInfoScreen *m = start(acmePresets);
        h->navigator->drafts().flush();
        QVERIFY(!draft());  // presets alone are no typing
        QElapsedTimer typing;
        typing.start();
        while (!draft() && typing.elapsed() < 12 * DraftKeeper::writeDelayMs) {
            QTest::keyClick(languageBox(m), Qt::Key_A);
            QTest::qWait(50);
        }
        QVERIFY2(draft().has_value(), "no draft while the typing went on");
        QTest::keyClicks(nameBox(m), "Quick");
        h->toProgram();
        h->navigator->drafts().waitForWriter();
        QCOMPARE(draft()->record.programName, QString("Quick"));

        QTest::mouseClick(mainButton(h->program()), Qt::LeftButton);
        retype(nameBox(h->walkToAuthor()), "Bo Builder");  // not copied yet
        QTest::mouseClick(mainButton(h->author()), Qt::LeftButton);
        QTest::keyClick(companyBox(m), Qt::Key_End);
        QTest::keyClicks(companyBox(m), " Ltd");
        doubleClickRow(osList(m), rowOf(osList(m), "Windows 95"));
        doubleClickRow(compatibleList(m), rowOf(compatibleList(m), "Windows 98"));  // to the end of the OS list
        QTest::keyClicks(additionsBox(h->toProgram()), "Small.");                // not copied yet
        const WizardValues before = wizardValues(*h->navigator, h->context());

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
        QVERIFY2(boxes[0].text.contains("typed then for QuickPixel Pal 1.0.0-rc1, last changed "
                                        + QLocale().toString(QDate::currentDate(), QLocale::ShortFormat)),
                 qPrintable(boxes[0].text));
        QCOMPARE(boxes[0].box, yesNoQuestion);
        QCOMPARE(boxes[0].owner, m);
        QVERIFY(wizardValues(*h->navigator, h->context()) == before);
        QCOMPARE(additionsBox(h->program())->text(), QString("Small."));  // in the box, not only in the values
        QVERIFY(m->isVisible() && !h->program()->isVisible() && !h->author()->isVisible());

        QTest::mouseClick(mainButton(h->toProgram()), Qt::LeftButton);
        QCOMPARE(companyBox(m)->text(), QString("Acme Tools Ltd"));
        QCOMPARE(webBox(m)->text(), QString("newer.example"));
    }

    // Yes to "Restore?" in a run that cannot keep a draft of its own (no
    // file can be made: here, no descriptor is left): the finished run's
    // draft stays and is offered again at the next start, where it goes
    // once that run's own draft is on disk.
    void aFailedClaimKeepsTheLeftDraft()
    {
        WizardValues typed;
        typed.name = "Typed before";
        const QString folder = h->platform.userState, left = folder + "/1-0000000000000001.draft";
        QVERIFY(QDir().mkpath(folder) && QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(writeFile(left, draftBytes(typed)));
        rlimit files{};
        QCOMPARE(::getrlimit(RLIMIT_NOFILE, &files), 0);
        const rlim_t usual = files.rlim_cur;
        h->platform.whileMessageShown = [&](const ScriptedPlatform::Call &) {
            files.rlim_cur = rlim_t(::dup(0));  // the lowest free descriptor: none is left from here on
            ::close(int(files.rlim_cur));
            QCOMPARE(::setrlimit(RLIMIT_NOFILE, &files), 0);
        };
        h->platform.messageAnswers = {MessageAnswer::Yes};
        GeneralInfoScreen *m = start();
        files.rlim_cur = usual;
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &files), 0);
        h->platform.whileMessageShown = nullptr;
        QCOMPARE(nameBox(m)->text(), typed.name);
        h->navigator->drafts().flush();
        QVERIFY(h->navigator->drafts().draftPath().isEmpty());
        QCOMPARE(readAll(left), draftBytes(typed));

        h->navigator.reset();  // killed
        h->navigator = std::make_unique<Navigator>(h->platform);
        h->platform.calls.clear();
        h->platform.messageAnswers = {MessageAnswer::Yes};
        m = start();
        QCOMPARE(h->platform.messages().size(), size_t(1));
        QCOMPARE(nameBox(m)->text(), typed.name);
        h->navigator->drafts().flush();
        QVERIFY(!QFileInfo::exists(left));
        QCOMPARE(draft()->name, typed.name);
    }
};

QTEST_MAIN(TestNothingLost)
#include "tst_nothinglost.moc"
