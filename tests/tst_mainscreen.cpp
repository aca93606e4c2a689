#include "Harness.h"
#include "Layout.h"
#include "toolkit/Look.h"
#include "toolkit/TextBoxes.h"
#include "screens/frmMain.h"
#include "screens/frmProgram.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

using namespace velmora;
using namespace velmora::test;

namespace {

const QStringList allSystems{"Windows 95",   "Windows 98", "Windows 98SE", "Windows ME",
                             "Windows 2000", "Windows NT", "Windows XP"};

}  // namespace

class TestMainScreen : public QObject {
    Q_OBJECT

private slots:
    void layout()
    {
        Harness h;
        auto *m = h.startToMain<frmMain>();
        QCOMPARE(m->windowTitle(), QString("Velmora"));
        // The menu bar sits above a client area of the table's size.
        QCOMPARE(m->client()->y(), m->menuBar->geometry().bottom() + 1);
        QCOMPARE(m->height(), m->client()->height() + m->menuBar->height());
        QVERIFY(!(m->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint)));

        int controls = 0;
        checkLayoutInvariants(m, 5775, 5550, &controls);
        QCOMPARE(controls, 26);  // six boxes, three lists, three buttons, ten labels, four separators
        // Each field label ends just left of its box, on its line.
        const std::pair<QLabel *, QWidget *> beside[] = {
            {m->lblMName, m->txtMName}, {m->lblMVer, m->txtMVer},          {m->lblMCompany, m->txtMCompany},
            {m->lblMWeb, m->txtMWeb},   {m->lblMNeeded, m->txtMLanguage}, {m->lblMNeed, m->txtMNeed}};
        for (const auto &[label, box] : beside) {
            QVERIFY2(label->geometry().right() < box->x() && box->x() - label->geometry().right() < 16,
                     qPrintable(label->text()));
            QCOMPARE(label->y(), box->y());
        }
        // The list headings stand above their lists.
        for (const auto &[heading, list] : {std::pair{m->lblMNcompat, m->lstMNCompat},
                                            std::pair{m->lblMCompat, m->lstMCompat},
                                            std::pair{m->lblMType, m->lstMType}}) {
            QCOMPARE(heading->x(), list->x());
            QVERIFY(heading->geometry().bottom() < list->y());
        }
        QCOMPARE(QFontInfo(m->txtMName->font()).family(), QString("Tahoma"));
        QCOMPARE(entries(m->lstMNCompat), allSystems);
        QCOMPARE(entries(m->lstMType), QStringList({"Demo", "Freeware", "ShareWare", "UpDate"}));
        QVERIFY(m->lstMType->selectedItems().isEmpty());
        QCOMPARE(m->lstMNCompat->viewport()->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(m->lstMType->viewport()->cursor().shape(), Qt::PointingHandCursor);

        // Typing stops at each box's limit; the others take any length.
        QTest::keyClicks(m->txtMName, QString(45, 'n'));
        QTest::keyClicks(m->txtMVer, QString(9, '1'));
        QTest::keyClicks(m->txtMCompany, QString(45, 'c'));
        QTest::keyClicks(m->txtMWeb, QString(300, 'w'));
        QTest::keyClicks(m->txtMLanguage, QString(300, 'l'));
        QCOMPARE(m->txtMName->text(), QString(40, 'n'));
        QCOMPARE(m->txtMVer->text(), QString(7, '1'));
        QCOMPARE(m->txtMCompany->text(), QString(40, 'c'));
        QCOMPARE(m->txtMWeb->text().size(), 300);
        QCOMPARE(m->txtMLanguage->text().size(), 300);
    }

    void versionFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("digits and full stops") << "1.0.25" << "1.0.25";
        QTest::newRow("letters spaces commas") << "v1 a,2.b" << "12.";
        QTest::newRow("eighth character refused") << "12345678" << "1234567";
        QTest::newRow("signs") << "-+/=3" << "3";
    }

    void versionFilter()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Harness h;
        auto *main = h.startToMain<frmMain>();
        QTest::keyClicks(main->txtMVer, typed);
        QCOMPARE(main->txtMVer->text(), shown);
    }

    void versionFilterKeys()
    {
        Harness h;
        auto *main = h.startToMain<frmMain>();
        QTest::keyClicks(main->txtMVer, "2.45");
        QTest::keyClick(main->txtMVer, Qt::Key_Backspace);
        QCOMPARE(main->txtMVer->text(), QString("2.4"));
        // Keys that type no character still work.
        QTest::keyClick(main->txtMVer, Qt::Key_Home);
        QTest::keyClick(main->txtMVer, Qt::Key_Delete);
        QCOMPARE(main->txtMVer->text(), QString(".4"));

        // The desktop sends Delete with the text "\x7f" and Tab with "\t": they
        // still edit and move on, as in any box.
        const auto press = [&](Qt::Key key, const QString &text, Qt::KeyboardModifiers mods = {}) {
            QKeyEvent down(QEvent::KeyPress, key, mods, text);
            QApplication::sendEvent(main->txtMVer, &down);
        };
        main->txtMVer->setText("123");
        main->txtMVer->setCursorPosition(0);
        press(Qt::Key_Delete, "\x7f");
        QCOMPARE(main->txtMVer->text(), QString("23"));
        press(Qt::Key_End, {});
        press(Qt::Key_Left, {});
        press(Qt::Key_Delete, "\x7f");
        QCOMPARE(main->txtMVer->text(), QString("2"));
        press(Qt::Key_A, "a");
        press(Qt::Key_Escape, "\x1b");
        press(Qt::Key_Return, "\r");
        press(Qt::Key_Space, " ");
        QCOMPARE(main->txtMVer->text(), QString("2"));
        QVERIFY(QTest::qWaitForWindowActive(main));
        main->txtMVer->setFocus();
        QCOMPARE(QApplication::focusWidget(), main->txtMVer);
        press(Qt::Key_Tab, "\t");
        QCOMPARE(QApplication::focusWidget(), main->txtMCompany);
        main->txtMVer->setFocus();
        press(Qt::Key_Backtab, "\t", Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), main->txtMName);
        main->txtMVer->setText(".4");
        main->txtMVer->setFocus();

        // The clipboard shortcuts are characters too, and they are refused.
        QGuiApplication::clipboard()->setText("99");
        QTest::keyClick(main->txtMVer, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(main->txtMVer->text(), QString(".4"));
        main->txtMVer->selectAll();
        QTest::keyClick(main->txtMVer, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(main->txtMVer->text(), QString(".4"));
        QTest::keyClick(main->txtMVer, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("99"));
    }

    void transfersThereAndBack()
    {
        Harness h;
        auto *main = h.startToMain<frmMain>();
        // An empty compatible list: nothing to move.
        QTest::mouseDClick(main->lstMCompat->viewport(), Qt::LeftButton, {}, QPoint(20, 10));
        QVERIFY(entries(main->lstMCompat).isEmpty());
        QCOMPARE(entries(main->lstMNCompat), allSystems);

        doubleClickRow(main->lstMNCompat, 0);
        QCOMPARE(entries(main->lstMCompat), QStringList({"Windows 95"}));
        QCOMPARE(entries(main->lstMNCompat), allSystems.mid(1));
        QVERIFY(main->lstMNCompat->selectedItems().isEmpty());

        doubleClickRow(main->lstMNCompat, rowOf(main->lstMNCompat, "Windows XP"));
        QCOMPARE(entries(main->lstMCompat), QStringList({"Windows 95", "Windows XP"}));

        doubleClickRow(main->lstMCompat, 0);
        QCOMPARE(entries(main->lstMCompat), QStringList({"Windows XP"}));
        QCOMPARE(entries(main->lstMNCompat),
                 QStringList({"Windows 98", "Windows 98SE", "Windows ME", "Windows 2000",
                              "Windows NT", "Windows 95"}));
        QVERIFY(main->lstMCompat->selectedItems().isEmpty());
        // Transfers never touch the record.
        QCOMPARE(h.ctx().record, ReadmeRecord{});
    }

    void transferRemovesEveryEqualEntryAndKeepsTargetSelection()
    {
        Harness h;
        auto *main = h.startToMain<frmMain>();
        doubleClickRow(main->lstMNCompat, 0);  // Windows 95 -> compatible
        clickRow(main->lstMCompat, 0);          // selection in the target
        main->lstMNCompat->addItem("Windows ME");  // a duplicate row
        doubleClickRow(main->lstMNCompat, rowOf(main->lstMNCompat, "Windows ME"));
        QCOMPARE(entries(main->lstMCompat), QStringList({"Windows 95", "Windows ME"}));
        QCOMPARE(rowOf(main->lstMNCompat, "Windows ME"), -1);
        QCOMPARE(main->lstMCompat->selectedItems().size(), 1);
        QCOMPARE(main->lstMCompat->selectedItems().first()->text(), QString("Windows 95"));
    }

    void typeSelectionSetsTheRecordAtOnce()
    {
        Harness h;
        auto *main = h.startToMain<frmMain>();
        clickRow(main->lstMType, 2);
        QCOMPARE(h.ctx().record.programType, QString("ShareWare"));
        main->lstMType->setFocus();
        QTest::keyClick(main->lstMType, Qt::Key_Up);
        QCOMPARE(h.ctx().record.programType, QString("Freeware"));
        // One row high: the selected row is the one row shown, whole.
        const QRect viewport = main->lstMType->viewport()->rect();
        QCOMPARE(main->lstMType->visualItemRect(main->lstMType->item(1)), viewport);
        QVERIFY(!viewport.intersects(main->lstMType->visualItemRect(main->lstMType->item(2))));
    }

    void clearEmptiesBoxesAndCompatibleList()
    {
        Harness h;
        auto *main = h.startToMain<frmMain>();
        QTest::keyClicks(main->txtMName, "Tool");
        QTest::keyClicks(main->txtMVer, "1.2");
        QTest::keyClicks(main->txtMWeb, "example.org");
        QTest::keyClicks(main->txtMNeed, "a.dll");
        doubleClickRow(main->lstMNCompat, rowOf(main->lstMNCompat, "Windows ME"));
        clickRow(main->lstMType, 2);
        QTest::mouseClick(main->cmdMNext, Qt::LeftButton);
        const ReadmeRecord copied = h.ctx().record;
        QTest::mouseClick(h.screen<frmProgram>(ScreenId::Program)->cmdPMain, Qt::LeftButton);

        QTest::mouseClick(main->cmdMClear, Qt::LeftButton);
        for (QLineEdit *box : {main->txtMName, main->txtMVer, main->txtMCompany, main->txtMWeb,
                               main->txtMLanguage})
            QVERIFY(box->text().isEmpty());
        QVERIFY(main->txtMNeed->text().isEmpty());
        QVERIFY(entries(main->lstMCompat).isEmpty());
        QCOMPARE(main->lstMNCompat->count(), 7);
        QCOMPARE(rowOf(main->lstMNCompat, "Windows ME"), 6);
        QCOMPARE(main->lstMType->selectedItems().first()->text(), QString("ShareWare"));
        QCOMPARE(h.ctx().record, copied);
        QCOMPARE(main->focusWidget(), main->txtMName);
    }

    void exitAsksFirst()
    {
        Harness h;
        auto *main = h.startToMain<frmMain>();
        QSignalSpy ended(h.navigator.get(), &Navigator::programEnded);
        QTest::keyClicks(main->txtMName, "Kept");

        h.platform.messageAnswers = {MessageAnswer::No};
        QTest::mouseClick(main->cmdMExit, Qt::LeftButton);
        auto boxes = h.platform.messages();
        QCOMPARE(boxes.size(), size_t(1));
        QCOMPARE(boxes[0].text, QString("You have indicated you wish to\r\nexit the program. Is this correct?"));
        QCOMPARE(boxes[0].title, QString("Exit?"));
        QCOMPARE(boxes[0].style, 4132);
        QCOMPARE(boxes[0].owner, main);
        QCOMPARE(ended.count(), 0);
        QVERIFY(main->isVisible());
        QCOMPARE(main->txtMName->text(), QString("Kept"));

        // A close request from the window manager asks the same question.
        h.platform.messageAnswers = {MessageAnswer::No};
        main->close();
        QCOMPARE(h.platform.messages().size(), size_t(2));
        QCOMPARE(h.platform.messages()[1].title, QString("Exit?"));
        QVERIFY(main->isVisible());

        // Yes closes every window, hidden ones included.
        EventCounter splashCloses(h.navigator->splash(), QEvent::Close);
        QTest::mouseClick(main->cmdMNext, Qt::LeftButton);
        QTest::mouseClick(h.screen<frmProgram>(ScreenId::Program)->cmdPMain, Qt::LeftButton);
        EventCounter programCloses(h.screen<frmProgram>(ScreenId::Program), QEvent::Close);
        h.platform.messageAnswers = {MessageAnswer::Yes};
        QTest::mouseClick(main->cmdMExit, Qt::LeftButton);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(h.platform.messages().size(), size_t(3));
        QVERIFY(!main->isVisible());
        QCOMPARE(splashCloses.count, 1);
        QCOMPARE(programCloses.count, 1);
    }

    void nextCopiesExactlyAndShowsProgramInfo()
    {
        Harness h("\"Acme, Inc.\",\"acme.example\",\"English\",\"a.dll\r\nb.ocx\",\"Ann\",\"a@b\"\r\n");
        auto *main = h.startToMain<frmMain>();
        QTest::keyClicks(main->txtMName, "  Spaced Name ");
        QTest::keyClicks(main->txtMVer, "2.0");
        main->txtMNeed->moveCursor(QTextCursor::End);
        QTest::keyClick(main->txtMNeed, Qt::Key_Return);
        QTest::keyClicks(main->txtMNeed, "c.dat");
        QTest::mouseClick(main->cmdMNext, Qt::LeftButton);

        const ReadmeRecord &r = h.ctx().record;
        QCOMPARE(r.programName, QString("  Spaced Name "));
        QCOMPARE(r.version, QString("2.0"));
        QCOMPARE(r.company, QString("Acme, Inc."));
        QCOMPARE(r.webSite, QString("acme.example"));
        QCOMPARE(r.language, QString("English"));
        QCOMPARE(r.filesNeeded, QString("a.dll\r\nb.ocx\r\nc.dat"));
        QVERIFY(r.programType.isEmpty());
        QVERIFY(!main->isVisible());
        QVERIFY(h.screen<frmProgram>(ScreenId::Program)->isVisible());
    }

    void nextWithEverythingEmpty()
    {
        Harness h;
        auto *main = h.startToMain<frmMain>();
        QTest::mouseClick(main->cmdMNext, Qt::LeftButton);
        QCOMPARE(h.ctx().record, ReadmeRecord{});
        QVERIFY(h.screen<frmProgram>(ScreenId::Program)->isVisible());
    }

    void activationFillsPresetBoxes_data()
    {
        QTest::addColumn<QByteArray>("file");  // "<none>": no presets.txt
        QTest::addColumn<QStringList>("shown");  // company, web, language, needed
        QTest::newRow("one record")
            << QByteArray("\"Acme\",\"acme.example\",\"English\",\"run.dll\",\"Ann\",\"ann@acme\"\r\n")
            << QStringList{"Acme", "acme.example", "English", "run.dll"};
        QTest::newRow("missing file") << QByteArray("<none>") << QStringList{"", "", "", ""};
        QTest::newRow("line break inside a value")
            << QByteArray("\"C\",\"w\",\"English\r\nGerman\",\"a.dll\r\nb.dll\",\"\",\"\"\r\n")
            << QStringList{"C", "w", "English\r\nGerman", "a.dll\r\nb.dll"};
        QTest::newRow("company of 41 characters is cut to 40")
            << QByteArray("\"" + QByteArray(41, 'x') + "\",\"" + QByteArray(60, 'w') + "\",\"l\",\"n\",\"\",\"\"\r\n")
            << QStringList{QString(40, 'x'), QString(60, 'w'), "l", "n"};
    }

    void activationFillsPresetBoxes()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, shown);
        Harness h;
        if (file == "<none>")
            QFile::remove(h.presetsPath());
        else
            h.writePresets(file);
        auto *main = h.startToMain<frmMain>();
        // Whatever the user left there is replaced.
        QCOMPARE(main->txtMCompany->text(), shown[0]);
        QCOMPARE(main->txtMWeb->text(), shown[1]);
        QCOMPARE(main->txtMLanguage->text(), shown[2]);
        QCOMPARE(main->txtMNeed->text(), shown[3]);
        QVERIFY(main->txtMName->text().isEmpty());
        QCOMPARE(main->focusWidget(), main->txtMName);
        // A value longer than its box is shown from its first character.
        for (QLineEdit *box : {main->txtMCompany, main->txtMWeb, main->txtMLanguage})
            QVERIFY2(box->inputMethodQuery(Qt::ImCursorRectangle).toRect().left() < box->width() / 2,
                     qPrintable(box->text()));
    }

    // The largest presets.txt that is still read, its needed files one run
    // without a space, then pasted the same way: shown whole and at once,
    // not after the box has sought a word boundary on every line of it.
    void longRunWithoutASpaceDoesNotFreezeTheScreen()
    {
        const QByteArray run(1024 * 1024 - 40, 'x');
        Harness h("\"C\",\"w\",\"l\",\"" + run + "\",\"\",\"\"\r\n");
        QElapsedTimer clock;
        clock.start();
        auto *m = h.startToMain<frmMain>();
        QCoreApplication::processEvents();
        QCOMPARE(m->txtMNeed->text().size(), run.size());
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));

        m->txtMNeed->clear();
        QGuiApplication::clipboard()->setText(QString::fromLatin1(run));
        clock.restart();
        QTest::keyClick(m->txtMNeed, Qt::Key_V, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QCOMPARE(m->txtMNeed->text().size(), run.size());
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    }

    void everyShowingRefillsButNotAMessageBox()
    {
        Harness h("\"Preset Co\",\"w\",\"l\",\"n\",\"\",\"\"\r\n");
        auto *main = h.startToMain<frmMain>();
        main->txtMCompany->clear();
        QTest::keyClicks(main->txtMCompany, "Typed Co");
        // Answering a message box is no new showing.
        h.platform.messageAnswers = {MessageAnswer::No};
        QTest::mouseClick(main->cmdMExit, Qt::LeftButton);
        QCOMPARE(main->txtMCompany->text(), QString("Typed Co"));

        QTest::mouseClick(main->cmdMNext, Qt::LeftButton);
        QCOMPARE(h.ctx().record.company, QString("Typed Co"));
        h.writePresets("\"Newer Co\",\"w\",\"l\",\"n\",\"\",\"\"\r\n");
        QTest::mouseClick(h.screen<frmProgram>(ScreenId::Program)->cmdPMain, Qt::LeftButton);
        QVERIFY(main->isVisible());
        QCOMPARE(main->txtMCompany->text(), QString("Typed Co"));
        QCOMPARE(h.ctx().record.company, QString("Typed Co"));
    }
};

QTEST_MAIN(TestMainScreen)
#include "tst_mainscreen.moc"
