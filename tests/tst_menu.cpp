// The menu bar: reached by the keyboard, the tooltip switch and its three
// governed controls, the screens it leads to, Exit and the help contents.

#include "Harness.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QToolTip>
#include <QtTest>

using namespace velmora;
using namespace velmora::test;

class TestMenu : public ProgramSuite {
    Q_OBJECT

private slots:
    // Alt and the access key open a menu; the entry's key chooses it. File >
    // Exit asks the Exit question; No leaves the program, Yes ends it.
    void exitThroughTheMenuByKeyboard()
    {
        GeneralInfoScreen *m = start();
        QSignalSpy ended(h->navigator.get(), &Navigator::programEnded);
        QVERIFY(QTest::qWaitForWindowActive(m));
        h->platform.messageAnswers = {MessageAnswer::No, MessageAnswer::Yes};
        for (int i = 0; i < 2; ++i) {
            QTest::keyClick(ui(m).nameBox, Qt::Key_F, Qt::AltModifier);
            QTRY_VERIFY(ui(m).fileMenu->isVisible());
            QTest::keyClick(ui(m).fileMenu, Qt::Key_X);
            QTRY_COMPARE(h->platform.messages().size(), size_t(i + 1));
            QCOMPARE(h->platform.messages()[i].title, QString("Exit?"));
            QCOMPARE(h->platform.messages()[i].box, yesNoQuestion);
            QCOMPARE(ended.count(), i);
        }
        QVERIFY(!m->isVisible());
    }

    void tooltipSwitch()
    {
        GeneralInfoScreen *m = start();
        const QString typeTip = "Be sure to click an item (it will be highlited)";
        const QString osTip = "Double-click the OS(s) that are compatible with your program";
        const auto hover = [&] {
            QTest::mouseMove(ui(m).typeList->viewport(), QPoint(6, 4));
            QTest::mouseMove(ui(m).osList->viewport(), QPoint(6, 14));
        };
        hover();
        QVERIFY(ui(m).typeList->toolTip().isEmpty());
        for (const bool on : {true, false, true}) {
            ui(m).tooltipsAction->trigger();
            QCOMPARE(ui(m).tooltipsAction->isChecked(), on);
            hover();
            QCOMPARE(ui(m).typeList->toolTip(), on ? typeTip : QString());
            QCOMPARE(ui(m).osList->toolTip(), on ? osTip : QString());
        }
        // Shown over the list's rows, which have no tooltip of their own.
        QWidget *viewport = ui(m).osList->viewport();
        QHelpEvent help(QEvent::ToolTip, QPoint(10, 10), viewport->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(viewport, &help);
        QTRY_COMPARE(QToolTip::text(), osTip);
        QToolTip::hideText();

        // The third governed control, on the author screen.
        AuthorScreen *a = h->toAuthor();
        QVERIFY(QTest::qWaitForWindowExposed(a));
        QTest::mouseMove(ui(a).createButton, QPoint(10, 10));
        QCOMPARE(ui(a).createButton->toolTip(), QString("Creates the readme file"));
        QTest::mouseClick(ui(a).mainButton, Qt::LeftButton);
        ui(m).tooltipsAction->trigger();
        h->toAuthor();
        QTest::mouseMove(ui(a).createButton, QPoint(12, 10));
        QVERIFY(ui(a).createButton->toolTip().isEmpty());
    }

    void contentsAsksForTheBoundHelpFile()
    {
        GeneralInfoScreen *m = start();
        ui(m).contentsAction->trigger();
        ui(m).contentsAction->trigger();
        const auto calls = h->platform.callsOf(ScriptedPlatform::Kind::HelpContents);
        QCOMPARE(calls.size(), size_t(2));
        for (const auto &call : calls) {
            QCOMPARE(call.owner, m);
            QCOMPARE(call.path, h->folder() + "/Velmora 1_0.HLP");
        }
        QVERIFY(m->isVisible());
    }
};

QTEST_MAIN(TestMenu)
#include "tst_menu.moc"
