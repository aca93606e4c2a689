// The splash and the general-info screen: the hand-over, what the boxes
// take, the two lists and the type, Clear, Exit, what each showing puts into
// the preset boxes, and the menu bar (Exit by the keyboard, the tooltip
// switch, the help contents).

#include "Harness.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QToolTip>
#include <QtTest>

using namespace velmora;
using namespace velmora::test;

const QStringList allSystems{"Windows 95", "Windows 98", "Windows 98SE", "Windows ME", "Windows 2000",
                             "Windows NT", "Windows XP", "Windows 10", "Windows 11", "macOS",
                             "Linux",      "FreeBSD",    "Android",      "iOS",        "Web browser"};

class TestMainScreen : public ProgramSuite {
    Q_OBJECT

private slots:
    // Twenty ticks; clicks, keys and a close request change nothing, and
    // nothing of the main screen happens before the hand-over. The main
    // screen's load binds the help file: Contents asks for it every time.
    void splashHandsOverAfterTwentyTicks()
    {
        h->navigator->start();
        SplashScreen *splash = h->navigator->splash();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        QCOMPARE(splash->cursor().shape(), Qt::WaitCursor);
        QVERIFY(timer(splash)->isActive());
        splash->tick();
        QTest::mouseClick(splash, Qt::LeftButton, {}, QPoint(200, 200));
        QTest::keyClick(splash, Qt::Key_Escape);
        splash->close();
        for (int tick = 2; tick <= 19; ++tick)
            splash->tick();
        QCOMPARE(progressBar(splash)->value(), 95);
        QVERIFY(splash->isVisible());
        QVERIFY(h->main() == nullptr);
        QVERIFY(h->context().help.helpFilePath().isEmpty());

        splash->tick();
        QVERIFY(!splash->isVisible());
        QVERIFY(!timer(splash)->isActive());
        QVERIFY(splash->cursor().shape() != Qt::WaitCursor);
        GeneralInfoScreen *m = h->main();
        QVERIFY(m && m->isVisible());
        contentsAction(m)->trigger();
        contentsAction(m)->trigger();
        const auto calls = h->platform.callsOf(ScriptedPlatform::Kind::HelpContents);
        QCOMPARE(calls.size(), size_t(2));
        QCOMPARE(calls[1].owner, m);
        QCOMPARE(calls[1].path, h->folder() + "/Velmora 1_0.HLP");
    }

    // The real timer: the hand-over comes after two seconds, never earlier,
    // and no tick follows it.
    void realTimerHandsOverAfterTwoSeconds()
    {
        QElapsedTimer clock;
        clock.start();
        h->navigator->start();
        QTRY_VERIFY_WITH_TIMEOUT(h->main() != nullptr, 20000);
        const qint64 elapsed = clock.elapsed();
        QVERIFY2(elapsed >= 1990, qPrintable(QString::number(elapsed)));
        QTest::qWait(300);
        QCOMPARE(progressBar(h->navigator->splash())->value(), 100);
    }

    // The name stops at 40 characters, the web site takes any length, the
    // version takes 20 digits, letters, '.', '-' and '+'. A key the version
    // box refuses changes nothing; keys that type no character still edit,
    // whatever text the desktop sends with them; the clipboard and undo
    // shortcuts work as in any box.
    void typing()
    {
        GeneralInfoScreen *m = start();
        QVERIFY(QTest::qWaitForWindowActive(m));
        QTest::keyClicks(nameBox(m), QString(45, 'n'));
        QCOMPARE(nameBox(m)->text(), QString(40, 'n'));
        QTest::keyClicks(webBox(m), QString(300, 'w'));
        QCOMPARE(webBox(m)->text(), QString(300, 'w'));
        QTest::keyClicks(versionBox(m), "v1 a,2.B-+/=_9 345678xyz123");
        QCOMPARE(versionBox(m)->text(), QString("v1a2.B-+9345678xyz12"));

        const auto press = [&](Qt::Key key, const QString &text) {
            QKeyEvent down(QEvent::KeyPress, key, {}, text);
            QApplication::sendEvent(versionBox(m), &down);
        };
        press(Qt::Key_Eacute, "\u00e9");  // a letter, but not one a version takes
        QTest::keyClick(versionBox(m), Qt::Key_Backspace);
        QTest::keyClick(versionBox(m), Qt::Key_Home);
        press(Qt::Key_Delete, "\x7f");
        QCOMPARE(versionBox(m)->text(), QString("1a2.B-+9345678xyz1"));

        retype(versionBox(m), "1.1");
        QCOMPARE(versionBox(m)->text(), QString("1.1"));
        QTest::keyClick(versionBox(m), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(versionBox(m), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(versionBox(m), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(versionBox(m)->text() + QGuiApplication::clipboard()->text(), QString("1a2.B-+9345678xyz1"));
    }

    // A double-click, or keypad Enter, moves the current row of either list
    // to the end of the other, and the row in its place (the last row when
    // none follows) is current, so three Returns move three systems; every
    // entry of the same text leaves it. The list without the focus shows
    // its selected row in other colours than the focused one. Ctrl+Space only marks a row
    // (Return and Space: tst_keyboard's whole wizard). The type is the
    // record's as soon as it is picked, by the mouse or the arrow keys.
    // Clear empties every box and the compatible list, whose systems go
    // back to the end of the OS list in the order they stood; the type and
    // the record stay.
    void listsTypeAndClear()
    {
        GeneralInfoScreen *m = start();
        // An empty compatible list: nothing to move.
        QTest::mouseDClick(compatibleList(m)->viewport(), Qt::LeftButton, {}, QPoint(20, 10));
        QCOMPARE(entries(osList(m)), allSystems);
        osList(m)->setFocus();
        QTest::keyClick(osList(m), Qt::Key_End);
        QTest::keyClick(osList(m), Qt::Key_Enter, Qt::KeypadModifier);
        doubleClickRow(osList(m), 0);
        QCOMPARE(entries(compatibleList(m)), QStringList({"Web browser", "Windows 95"}));
        QCOMPARE(osList(m)->currentItem()->text(), QString("Windows 98"));
        QTest::keyClick(osList(m), Qt::Key_Home);
        QTest::keyClick(osList(m), Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(entries(compatibleList(m)), QStringList({"Web browser", "Windows 95"}));

        // Back, with the target's selection kept.
        clickRow(osList(m), 0);
        compatibleList(m)->addItem("Windows 95");
        compatibleList(m)->setFocus();
        QTest::keyClick(compatibleList(m), Qt::Key_End);
        QTest::keyClick(compatibleList(m), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(entries(compatibleList(m)), QStringList({"Web browser"}));
        QCOMPARE(entries(osList(m)), allSystems.mid(1, 13) + QStringList{"Windows 95"});
        QCOMPARE(compatibleList(m)->currentItem()->text(), QString("Web browser"));
        QCOMPARE(osList(m)->selectedItems().size(), 1);
        QCOMPARE(h->context().record, ReadmeRecord{});  // transfers never touch the record

        // The type list works as a spin box: the type it shows is the type
        // picked, none at first; the wheel moves one row a notch.
        const auto picked = [&](const QString &type) {
            return typeList(m)->itemAt(5, 5)->text() == type && h->context().record.programType == type;
        };
        QVERIFY(picked("") && typeList(m)->selectedItems().isEmpty());
        clickArrow(typeList(m), true);
        QWheelEvent notch({5, 5}, {5, 5}, {}, {0, -120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(typeList(m)->viewport(), &notch);
        QVERIFY(picked("Freeware"));
        typeList(m)->setFocus();
        for (const auto &[key, type] : {std::pair{Qt::Key_End, "UpDate"}, {Qt::Key_Up, "ShareWare"}, {Qt::Key_Home, ""},
                                        {Qt::Key_F, "Freeware"}}) {
            QTest::keyClick(typeList(m), key);
            QVERIFY2(picked(type), type);
        }
        for (QLineEdit *b : {nameBox(m), versionBox(m), companyBox(m), webBox(m), languageBox(m)})
            QTest::keyClicks(b, "1");
        QTest::keyClicks(filesNeededBox(m), "a.dll");
        h->toProgram();
        QTest::mouseClick(mainButton(h->program()), Qt::LeftButton);
        const ReadmeRecord copied = h->context().record;
        doubleClickRow(osList(m), 0);
        QTest::mouseClick(clearButton(m), Qt::LeftButton);
        for (QLineEdit *b : {nameBox(m), versionBox(m), companyBox(m), webBox(m), languageBox(m)})
            QVERIFY(b->text().isEmpty());
        QVERIFY(filesNeededBox(m)->text().isEmpty());
        QVERIFY(entries(compatibleList(m)).isEmpty());
        QCOMPARE(entries(osList(m)), allSystems.mid(2, 12) + QStringList({"Windows 95", "Web browser", "Windows 98"}));
        QCOMPARE(typeList(m)->selectedItems().first()->text(), QString("Freeware"));
        QCOMPARE(h->context().record, copied);
        QCOMPARE(m->focusWidget(), nameBox(m));

        osList(m)->setFocus();
        for (Qt::Key key : {Qt::Key_Home, Qt::Key_Return, Qt::Key_Return, Qt::Key_Return})
            QTest::keyClick(osList(m), key);
        QCOMPARE(entries(compatibleList(m)), allSystems.mid(2, 3));
        QCOMPARE(osList(m)->currentItem()->text(), QString("Windows NT"));
        QApplication::setActiveWindow(m);  // the offscreen platform activates no window itself
        const auto selectedColour = [](QListWidget *list) {
            const QRect row = list->visualItemRect(list->selectedItems().value(0));
            return list->viewport()->grab().toImage().pixel(row.right() - 2, row.center().y());
        };
        clickRow(compatibleList(m), 1);
        const QRgb focused = selectedColour(compatibleList(m)), unfocused = selectedColour(osList(m));
        QVERIFY(focused != unfocused);
        QTest::keyClick(compatibleList(m), Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), osList(m));
        QCOMPARE(selectedColour(osList(m)), focused);
        QCOMPARE(selectedColour(compatibleList(m)), unfocused);

        // The type list stands apart from the compatible list, a line between.
        const QRect compat = compatibleList(m)->geometry(), type = typeList(m)->geometry();
        const QList<QWidget *> all = m->client()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        QVERIFY(std::any_of(all.begin(), all.end(), [&](const QWidget *w) {
            return w->x() > compat.right() && w->geometry().right() < type.left() && w->height() > type.height();
        }));
    }

    // Systems of the user's own: typed and added (Return, Alt+A or Add), one
    // the lists hold already shown instead, removed again (Remove or Delete,
    // never one of Velmora's), written to the readme when moved, and
    // offered again at the next start in the same config folder.
    void ownSystems()
    {
        GeneralInfoScreen *m = start();
        auto *box = control<QLineEdit>(m, "Own system");
        auto *add = control<QPushButton>(m, "Add"), *remove = control<QPushButton>(m, "Remove");
        QVERIFY(!add->isEnabled() && !remove->isEnabled());
        QTest::keyClicks(box, "  Haiku ");
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, "BeOS");
        QVERIFY(QTest::qWaitForWindowActive(m));  // for the access key
        QTest::keyClick(box, Qt::Key_A, Qt::AltModifier);
        QTRY_VERIFY(box->text().isEmpty());  // the button's click is animated
        QTest::keyClicks(box, "LINUX");
        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(entries(osList(m)), allSystems + QStringList({"Haiku", "BeOS"}));
        QCOMPARE(osList(m)->currentItem()->text(), QString("Linux"));
        QVERIFY(box->text().isEmpty() && !remove->isEnabled());
        osList(m)->setFocus();
        QTest::keyClick(osList(m), Qt::Key_Delete);
        QTest::keyClick(osList(m), Qt::Key_End);
        QVERIFY(remove->isEnabled());
        QTest::mouseClick(remove, Qt::LeftButton);
        QTest::keyClick(osList(m), Qt::Key_Delete);  // Haiku, in BeOS's place
        QCOMPARE(entries(osList(m)), allSystems);
        QTest::keyClicks(box, "Haiku");
        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(readAll(h->platform.userConfig + "/systems.txt"), QByteArray("Haiku\n"));

        Harness again;
        again.platform.userConfig = h->platform.userConfig;
        GeneralInfoScreen *next = again.start();
        QCOMPARE(entries(osList(next)), allSystems + QStringList{"Haiku"});
        doubleClickRow(osList(next), rowOf(osList(next), "Haiku"));
        QTest::keyClicks(nameBox(next), "Tidyclip");
        again.toAuthor();
        QVERIFY(again.createFile(again.path("readme.txt")).contains("7). Compatible OS's:\r\n     Haiku\r\n\r\n"));
    }

    // A close request from the window manager on any other screen goes back
    // to the main screen, and asks nothing.
    void closingAnotherScreenGoesBack()
    {
        GeneralInfoScreen *m = start();
        const std::function<QWidget *()> ways[] = {
            [&] { return h->toProgram(); }, [&] { return h->toAuthor(); }, [&] { return h->toPresets(); },
            [&] { return h->toViewer(std::nullopt); }, [&] { return h->toPreview(); }};
        for (const auto &way : ways) {
            QWidget *screen = way();
            QVERIFY(screen->isVisible() && !m->isVisible());
            screen->close();
            QVERIFY(!screen->isVisible() && m->isVisible());
        }
        QVERIFY(h->platform.messages().empty());
    }

    // A close request from the window manager, File > Exit by the keyboard
    // (Alt+F, X) and the Exit button ask the same question, of the main
    // window; No leaves everything as it was, Yes closes every window,
    // hidden ones included.
    void exitAsksFirst()
    {
        GeneralInfoScreen *m = start();
        QVERIFY(QTest::qWaitForWindowActive(m));
        QSignalSpy ended(h->navigator.get(), &Navigator::programEnded);
        QTest::keyClicks(nameBox(m), "Kept");
        h->platform.messageAnswers = {MessageAnswer::No, MessageAnswer::No};
        m->close();
        QTest::keyClick(nameBox(m), Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(fileMenu(m)->isVisible());
        QTest::keyClick(fileMenu(m), Qt::Key_X);
        QTRY_COMPARE(h->platform.messages().size(), size_t(2));
        QCOMPARE(ended.count(), 0);
        QVERIFY(m->isVisible());
        QCOMPARE(nameBox(m)->text(), QString("Kept"));

        EventCounter splashCloses(h->navigator->splash(), QEvent::Close);
        QTest::mouseClick(mainButton(h->toProgram()), Qt::LeftButton);
        EventCounter programCloses(h->program(), QEvent::Close);
        h->platform.messageAnswers = {MessageAnswer::Yes};
        QTest::mouseClick(exitButton(m), Qt::LeftButton);
        QCOMPARE(ended.count(), 1);
        QVERIFY(!m->isVisible());
        QCOMPARE(splashCloses.count, 1);
        QCOMPARE(programCloses.count, 1);
        QCOMPARE(h->platform.messages().size(), size_t(3));
        for (const auto &box : h->platform.messages()) {
            QCOMPARE(box.text, QString("You have indicated you wish to\r\nexit the program. Is this correct?"));
            QCOMPARE(box.title, QString("Exit?"));
            QCOMPARE(box.box, yesNoQuestion);
            QCOMPARE(box.owner, m);
        }
    }

    // Each showing of the main and the author screen reads presets.txt
    // anew, whichever way the screen is shown again. A fill cuts each value
    // to its box, shows a long one from its first character and makes bare
    // line feeds CR LF; a box that still holds what the last fill put there
    // takes the new value, one typed over or emptied keeps what it has; the
    // focus goes into the first box. A message box answered is no showing.
    void everyShowingReadsThePresets_data()
    {
        QTest::addColumn<int>("screen");  // whose Main shows the main screen again
        QTest::newRow("program info") << int(ScreenId::Program);
        QTest::newRow("the viewer") << int(ScreenId::View);
        QTest::newRow("the presets screen") << int(ScreenId::Preset);
        QTest::newRow("author") << int(ScreenId::Author);
    }

    void everyShowingReadsThePresets()
    {
        QFETCH(int, screen);
        GeneralInfoScreen *m = start("\"" + QByteArray(45, 'c') + "\",\"" + QByteArray(60, 'w')
                                     + "\",\"English\r\nGerman\",\"a.dll\nb.dll\",\"" + QByteArray(35, 'f')
                                     + "\",\"f@mail\"\r\n");
        QCOMPARE(QStringList({companyBox(m)->text(), webBox(m)->text(), languageBox(m)->text(),
                              filesNeededBox(m)->text()}),
                 QStringList({QString(40, 'c'), QString(60, 'w'), "English\r\nGerman", "a.dll\r\nb.dll"}));
        QCOMPARE(m->focusWidget(), nameBox(m));
        for (QLineEdit *b : {companyBox(m), webBox(m)})
            QVERIFY2(b->inputMethodQuery(Qt::ImCursorRectangle).toRect().left() < b->width() / 2,
                     qPrintable(b->text()));
        retype(webBox(m), "Typed");
        retype(languageBox(m), "");
        AuthorScreen *a = h->toAuthor();
        QCOMPARE(nameBox(a)->text(), QString(30, 'f'));
        retype(nameBox(a), "Typed");
        emailBox(a)->setFocus();
        QTest::mouseClick(mainButton(a), Qt::LeftButton);

        h->writePresets(newerPresets);
        h->platform.messageAnswers = {MessageAnswer::No};
        QTest::mouseClick(exitButton(m), Qt::LeftButton);
        QCOMPARE(companyBox(m)->text(), QString(40, 'c'));
        webBox(m)->setFocus();
        h->navigator->change(m, ScreenId(screen));  // as Next or the menu leave it
        QTest::mouseClick(mainButton(h->navigator->screen(ScreenId(screen))), Qt::LeftButton);
        QCOMPARE(QStringList({companyBox(m)->text(), webBox(m)->text(), languageBox(m)->text(),
                              filesNeededBox(m)->text()}),
                 QStringList({"Newer Co", "Typed", "", "newer.dll"}));
        QCOMPARE(m->focusWidget(), nameBox(m));
        h->toAuthor();
        QCOMPARE(nameBox(a)->text(), QString("Typed"));
        QCOMPARE(emailBox(a)->text(), QString("nina@newer.example"));
        QCOMPARE(a->focusWidget(), nameBox(a));
    }

    // The largest presets.txt that is still read, its needed files one run
    // without a space, then pasted the same way: shown whole, not after the
    // box has sought a word boundary on every line of it (which took 90 s).
    void longRunWithoutASpaceDoesNotFreezeTheScreen()
    {
        const QByteArray run(1024 * 1024 - 40, 'x');
        QElapsedTimer clock;
        clock.start();
        GeneralInfoScreen *m = start("\"C\",\"w\",\"l\",\"" + run + "\",\"\",\"\"\r\n");
        QCoreApplication::processEvents();
        QCOMPARE(filesNeededBox(m)->text().size(), run.size());
        filesNeededBox(m)->clear();
        paste(filesNeededBox(m), QString::fromLatin1(run));
        QCoreApplication::processEvents();
        QCOMPARE(filesNeededBox(m)->text().size(), run.size());
        // Two seconds on a loaded machine; over ten times that is still far
        // from the minute and a half it took to freeze.
        QVERIFY2(clock.elapsed() < 30000, qPrintable(QString::number(clock.elapsed())));
    }

    // The tooltips of the two lists and of Create File, shown while the
    // Tools menu's switch is on; over a list they show over its rows, which
    // have no tooltip of their own.
    void tooltipSwitch()
    {
        GeneralInfoScreen *m = start();
        const QString typeTip = "Be sure to click an item (it will be highlited)";
        const QString osTip = "Double-click the OS(s) that are compatible with your program";
        const auto hover = [&] {
            QTest::mouseMove(m->client(), QPoint(1, 1));  // into the window first
            QTest::mouseMove(typeList(m)->viewport(), QPoint(6, 4));
            QTest::mouseMove(osList(m)->viewport(), QPoint(6, 14));
        };
        hover();
        QVERIFY(typeList(m)->toolTip().isEmpty());
        for (const bool on : {true, false, true}) {
            tooltipsAction(m)->trigger();
            QCOMPARE(tooltipsAction(m)->isChecked(), on);
            hover();
            QCOMPARE(typeList(m)->toolTip(), on ? typeTip : QString());
            QCOMPARE(osList(m)->toolTip(), on ? osTip : QString());
            AuthorScreen *a = h->toAuthor();
            QVERIFY(QTest::qWaitForWindowExposed(a));
            QTest::mouseMove(createButton(a), QPoint(10, on ? 10 : 12));
            QCOMPARE(createButton(a)->toolTip(), on ? QString("Creates the readme file") : QString());
            QTest::mouseClick(mainButton(a), Qt::LeftButton);
        }
        QWidget *viewport = osList(m)->viewport();
        QHelpEvent help(QEvent::ToolTip, QPoint(10, 10), viewport->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(viewport, &help);
        QTRY_COMPARE(QToolTip::text(), osTip);
        QToolTip::hideText();
    }
};

QTEST_MAIN(TestMainScreen)
#include "tst_mainscreen.moc"
