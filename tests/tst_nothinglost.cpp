// Nothing the user typed is lost or changed behind their back: preset boxes
// that follow the presets only while untouched, the presets screen starting
// from the saved presets, lists and buttons that answer the keyboard, and no
// character silently written as "?".
#include "Harness.h"

#include <QtTest>

using namespace velmora;
using namespace velmora::test;

class TestNothingLost : public ProgramSuite {
    Q_OBJECT

private slots:
    // A box still holding what the presets put there follows new presets,
    // even where it holds the value another way than the file (cut to its
    // limit; bare line feeds made CR LF); a box the user emptied stays empty.
    void presetBoxesFollowUntilTyped()
    {
        GeneralInfoScreen *m = start("\"" + QByteArray(45, 'c') + "\",\"acme.example\",\"\",\"a.dll\nb.dll\",\"\",\"\"\r\n");
        retype(webBox(m), "");
        h->writePresets(newerPresets);
        QTest::mouseClick(mainButton(h->toProgram()), Qt::LeftButton);
        QCOMPARE(QStringList({companyBox(m)->text(), webBox(m)->text(), filesNeededBox(m)->text()}),
                 QStringList({"Newer Co", "", "newer.dll"}));
    }

    // The presets screen opens with what is saved: one value changed and Set
    // keeps the other five, line breaks and all.
    void presetsScreenStartsFromTheSavedPresets()
    {
        const QByteArray saved =
            "\"Acme, Inc.\",\"acme.example\",\"English\r\nGerman\",\"a.dll\r\nb.dll\",\"Ann\",\"ann@acme\"\r\n";
        start(saved);
        PresetsScreen *p = h->toPresets();
        QTest::keyClick(emailBox(p), Qt::Key_End);
        QTest::keyClicks(emailBox(p), ".example");
        QTest::mouseClick(setButton(p), Qt::LeftButton);
        QCOMPARE(readAll(h->presetsPath()), QByteArray(saved).replace("ann@acme", "ann@acme.example"));
    }

    // Return, Enter and Space move the current row of either list as a
    // double-click does (a double-click moves it once); Ctrl+Space only
    // marks it. Clear then gives the systems back to the end of the OS list,
    // in the order they stood.
    void listKeys_data()
    {
        QTest::addColumn<int>("key");  // 0: a double-click
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("moves");
        // Return and Space: tst_keyboard's whole wizard.
        QTest::newRow("Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true;
        QTest::newRow("Ctrl+Space marks the row only") << int(Qt::Key_Space) << int(Qt::ControlModifier) << false;
        QTest::newRow("a double-click") << 0 << 0 << true;
    }

    void listKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, moves);
        GeneralInfoScreen *m = start();
        const auto onRow = [&](QListWidget *list, Qt::Key to) {
            list->setFocus();
            QTest::keyClick(list, to);
            if (key)
                QTest::keyClick(list, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
            else
                doubleClickRow(list, list->currentRow());
        };
        onRow(osList(m), Qt::Key_End);   // Windows XP
        onRow(osList(m), Qt::Key_Home);  // Windows 95
        onRow(osList(m), Qt::Key_Home);  // Windows 98
        QCOMPARE(entries(compatibleList(m)),
                 moves ? QStringList({"Windows XP", "Windows 95", "Windows 98"}) : QStringList());
        onRow(compatibleList(m), Qt::Key_Home);  // Windows XP, back
        QTest::mouseClick(clearButton(m), Qt::LeftButton);
        QCOMPARE(entries(osList(m)),
                 moves ? QStringList({"Windows 98SE", "Windows ME", "Windows 2000", "Windows NT", "Windows XP",
                                      "Windows 95", "Windows 98"})
                       : startingSystems());
    }

    // Return and keypad Enter press the focused button, on every screen,
    // once even when the key is held; in a text box they press nothing.
    void buttonKeys_data()
    {
        QTest::addColumn<int>("screen");
        QTest::newRow("general info") << int(ScreenId::Main);
        QTest::newRow("program info") << int(ScreenId::Program);
        QTest::newRow("author") << int(ScreenId::Author);
        QTest::newRow("presets") << int(ScreenId::Preset);
        QTest::newRow("viewer") << int(ScreenId::View);
    }

    void buttonKeys()
    {
        QFETCH(int, screen);
        start();
        // The screen alone on display again, wherever the last button led.
        const auto showAgain = [&] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (qobject_cast<Screen *>(w))
                    w->hide();
            h->navigator->show(ScreenId(screen));
            h->platform.messageAnswers = {MessageAnswer::No};
            h->platform.dialogAnswers = {std::nullopt};
            return h->navigator->screen(ScreenId(screen));
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
                QVERIFY2(clicks == before + 1, qPrintable(b->text()));
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
};

QTEST_MAIN(TestNothingLost)
#include "tst_nothinglost.moc"
