// The general-info screen: what its boxes take, the two lists, Clear, Next,
// Exit, and what each showing puts into the preset boxes.

#include "Harness.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QtTest>

using namespace velmora;
using namespace velmora::test;

const QStringList allSystems{"Windows 95",   "Windows 98", "Windows 98SE", "Windows ME",
                             "Windows 2000", "Windows NT", "Windows XP"};

class TestMainScreen : public ProgramSuite {
    Q_OBJECT

private slots:
    void typing_data()
    {
        QTest::addColumn<int>("box");  // Name, Version, Company, Web site
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("name stops at 40") << 0 << QString(45, 'n') << QString(40, 'n');
        QTest::newRow("company stops at 40") << 2 << QString(45, 'c') << QString(40, 'c');
        QTest::newRow("web site takes any length") << 3 << QString(300, 'w') << QString(300, 'w');
        QTest::newRow("version: digits and full stops") << 1 << "1.0.29" << "1.0.29";
        QTest::newRow("version: letters, spaces, commas, signs") << 1 << "v1 a,2.b-+/=9" << "12.9";
        QTest::newRow("version: eighth character refused") << 1 << "12345678" << "1234567";
    }

    void typing()
    {
        QFETCH(int, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        GeneralInfoScreen *m = start();
        QLineEdit *b = QList<QLineEdit *>{nameBox(m), versionBox(m), companyBox(m), webBox(m)}[box];
        QTest::keyClicks(b, typed);
        QCOMPARE(b->text(), shown);
    }

    // Keys that type no character still edit and move on in the version
    // box, whatever text the desktop sends with them; the clipboard
    // shortcuts are characters too, and refused.
    void versionFilterKeys()
    {
        GeneralInfoScreen *m = start();
        QVERIFY(QTest::qWaitForWindowActive(m));
        const auto press = [&](Qt::Key key, const QString &text, Qt::KeyboardModifiers mods = {}) {
            QKeyEvent down(QEvent::KeyPress, key, mods, text);
            QApplication::sendEvent(versionBox(m), &down);
        };
        QTest::keyClicks(versionBox(m), "2.45");
        QTest::keyClick(versionBox(m), Qt::Key_Backspace);
        QTest::keyClick(versionBox(m), Qt::Key_Home);
        press(Qt::Key_Delete, "\x7f");
        QCOMPARE(versionBox(m)->text(), QString(".4"));
        versionBox(m)->setFocus();
        press(Qt::Key_Backtab, "\t", Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), nameBox(m));

        paste(versionBox(m), "99");
        versionBox(m)->selectAll();
        QTest::keyClick(versionBox(m), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(versionBox(m)->text(), QString(".4"));
    }

    void transfers()
    {
        GeneralInfoScreen *m = start();
        // An empty compatible list: nothing to move.
        QTest::mouseDClick(compatibleList(m)->viewport(), Qt::LeftButton, {}, QPoint(20, 10));
        QCOMPARE(entries(osList(m)), allSystems);

        doubleClickRow(osList(m), 0);
        doubleClickRow(osList(m), rowOf(osList(m), "Windows XP"));
        QCOMPARE(entries(compatibleList(m)), QStringList({"Windows 95", "Windows XP"}));
        QVERIFY(osList(m)->selectedItems().isEmpty());

        // Back: to the end of the other list; every entry of the same text
        // leaves the source; the target keeps its selection.
        clickRow(osList(m), 0);
        compatibleList(m)->addItem("Windows 95");
        doubleClickRow(compatibleList(m), 0);
        QCOMPARE(entries(compatibleList(m)), QStringList({"Windows XP"}));
        QCOMPARE(entries(osList(m)), allSystems.mid(1, 5) + QStringList{"Windows 95"});
        QVERIFY(compatibleList(m)->selectedItems().isEmpty());
        QCOMPARE(osList(m)->selectedItems().size(), 1);
        // Transfers never touch the record.
        QCOMPARE(h->context().record, ReadmeRecord{});
    }

    void typeSelectionSetsTheRecordAtOnce()
    {
        GeneralInfoScreen *m = start();
        clickRow(typeList(m), 2);
        QCOMPARE(h->context().record.programType, QString("ShareWare"));
        typeList(m)->setFocus();
        QTest::keyClick(typeList(m), Qt::Key_Up);
        QCOMPARE(h->context().record.programType, QString("Freeware"));
        // The type list stands apart from the compatible list, a line between.
        const QRect compat = compatibleList(m)->geometry(), type = typeList(m)->geometry();
        const QList<QWidget *> all = m->client()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        QVERIFY(std::any_of(all.begin(), all.end(), [&](const QWidget *w) {
            return w->x() > compat.right() && w->geometry().right() < type.left() && w->height() > type.height();
        }));
    }

    void clearEmptiesBoxesAndCompatibleList()
    {
        GeneralInfoScreen *m = start();
        for (QLineEdit *b : {nameBox(m), versionBox(m), companyBox(m), webBox(m), languageBox(m)})
            QTest::keyClicks(b, "1");
        QTest::keyClicks(filesNeededBox(m), "a.dll");
        doubleClickRow(osList(m), rowOf(osList(m), "Windows ME"));
        clickRow(typeList(m), 2);
        h->toProgram();
        const ReadmeRecord copied = h->context().record;
        QTest::mouseClick(mainButton(h->program()), Qt::LeftButton);

        QTest::mouseClick(clearButton(m), Qt::LeftButton);
        for (QLineEdit *b : {nameBox(m), versionBox(m), companyBox(m), webBox(m), languageBox(m)})
            QVERIFY(b->text().isEmpty());
        QVERIFY(filesNeededBox(m)->text().isEmpty());
        QVERIFY(entries(compatibleList(m)).isEmpty());
        QCOMPARE(entries(osList(m)), allSystems.mid(0, 3) + allSystems.mid(4) + QStringList{"Windows ME"});
        QCOMPARE(typeList(m)->selectedItems().first()->text(), QString("ShareWare"));
        QCOMPARE(h->context().record, copied);
        QCOMPARE(m->focusWidget(), nameBox(m));
    }

    void exitAsksFirst()
    {
        GeneralInfoScreen *m = start();
        QSignalSpy ended(h->navigator.get(), &Navigator::programEnded);
        QTest::keyClicks(nameBox(m), "Kept");
        // A close request from the window manager asks the Exit question
        // (its title and icon: the menu's Exit).
        h->platform.messageAnswers = {MessageAnswer::No};
        m->close();
        const auto boxes = h->platform.messages();
        QCOMPARE(boxes.size(), size_t(1));
        QCOMPARE(boxes[0].text, QString("You have indicated you wish to\r\nexit the program. Is this correct?"));
        QCOMPARE(boxes[0].owner, m);
        QCOMPARE(ended.count(), 0);
        QVERIFY(m->isVisible());
        QCOMPARE(nameBox(m)->text(), QString("Kept"));

        // Yes closes every window, hidden ones included.
        EventCounter splashCloses(h->navigator->splash(), QEvent::Close);
        QTest::mouseClick(mainButton(h->toProgram()), Qt::LeftButton);
        EventCounter programCloses(h->program(), QEvent::Close);
        h->platform.messageAnswers = {MessageAnswer::Yes};
        QTest::mouseClick(exitButton(m), Qt::LeftButton);
        QCOMPARE(ended.count(), 1);
        QVERIFY(!m->isVisible());
        QCOMPARE(splashCloses.count, 1);
        QCOMPARE(programCloses.count, 1);
    }

    // The presets as the first showing puts them into the boxes: cut to
    // each box's limit, line breaks kept, a long value shown from its first
    // character; the focus in the Name box.
    void activationFillsPresetBoxes()
    {
        GeneralInfoScreen *m = start("\"" + QByteArray(41, 'x') + "\",\"" + QByteArray(60, 'w')
                           + "\",\"English\r\nGerman\",\"a.dll\r\nb.dll\",\"Ann\",\"ann@acme\"\r\n");
        QCOMPARE(QStringList({companyBox(m)->text(), webBox(m)->text(), languageBox(m)->text(),
                              filesNeededBox(m)->text()}),
                 QStringList({QString(40, 'x'), QString(60, 'w'), "English\r\nGerman", "a.dll\r\nb.dll"}));
        QCOMPARE(m->focusWidget(), nameBox(m));
        for (QLineEdit *b : {companyBox(m), webBox(m)})
            QVERIFY2(b->inputMethodQuery(Qt::ImCursorRectangle).toRect().left() < b->width() / 2,
                     qPrintable(b->text()));
    }

    // Each showing of the main and the author screen reads presets.txt anew,
    // whichever way the screen is shown again: a box that still holds what
    // the last fill put there takes the new value, a typed one keeps it; the
    // focus goes into the first box. A message box answered is no showing.
    void everyShowingReadsThePresets_data()
    {
        QTest::addColumn<QString>("route");
        QTest::newRow("program info, then Main") << "program";
        QTest::newRow("the viewer, then Main") << "viewer";
        QTest::newRow("the presets screen, then Main") << "presets";
        QTest::newRow("author screen, Main, then Next and Next") << "author";
    }

    void everyShowingReadsThePresets()
    {
        QFETCH(QString, route);
        GeneralInfoScreen *m = start("\"First Co\",\"w\",\"l\",\"n\",\"" + QByteArray(35, 'f') + "\",\"f@mail\"\r\n");
        const bool author = route == "author";
        QLineEdit *box = author ? nameBox(h->toAuthor()) : companyBox(m);
        QLineEdit *first = author ? nameBox(h->author()) : nameBox(m);
        QLineEdit *other = author ? emailBox(h->author()) : webBox(m);
        QCOMPARE(box->text(), author ? QString(30, 'f') : QString("First Co"));  // cut to the box
        box->clear();
        QTest::keyClicks(box, "Typed");
        h->platform.messageAnswers = {MessageAnswer::No};
        QTest::mouseClick(author ? createButton(h->author()) : exitButton(m), Qt::LeftButton);
        QCOMPARE(box->text(), QString("Typed"));

        h->writePresets("\"Second Co\",\"w2\",\"l\",\"n\",\"Second Name\",\"s@mail\"\r\n");
        other->setFocus();
        if (route == "program")
            QTest::mouseClick(mainButton(h->toProgram()), Qt::LeftButton);
        else if (route == "viewer")
            QTest::mouseClick(mainButton(h->toViewer(std::nullopt)), Qt::LeftButton);
        else if (route == "presets")
            QTest::mouseClick(mainButton(h->toPresets()), Qt::LeftButton);
        else {
            QTest::mouseClick(mainButton(h->author()), Qt::LeftButton);
            h->toAuthor();
        }
        QVERIFY(box->window()->isVisible());
        // What was typed stays; a box still holding the last fill takes the new value.
        QCOMPARE(box->text(), QString("Typed"));
        QCOMPARE(other->text(), author ? QString("s@mail") : QString("w2"));
        QCOMPARE(box->window()->focusWidget(), first);
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
};

QTEST_MAIN(TestMainScreen)
#include "tst_mainscreen.moc"
