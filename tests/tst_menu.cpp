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
            QTest::keyClick(nameBox(m), Qt::Key_F, Qt::AltModifier);
            QTRY_VERIFY(fileMenu(m)->isVisible());
            QTest::keyClick(fileMenu(m), Qt::Key_X);
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
        }
        // Shown over the list's rows, which have no tooltip of their own.
        QWidget *viewport = osList(m)->viewport();
        QHelpEvent help(QEvent::ToolTip, QPoint(10, 10), viewport->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(viewport, &help);
        QTRY_COMPARE(QToolTip::text(), osTip);
        QToolTip::hideText();

        // The third governed control, on the author screen.
        AuthorScreen *a = h->toAuthor();
        QVERIFY(QTest::qWaitForWindowExposed(a));
        QTest::mouseMove(createButton(a), QPoint(10, 10));
        QCOMPARE(createButton(a)->toolTip(), QString("Creates the readme file"));
        QTest::mouseClick(mainButton(a), Qt::LeftButton);
        tooltipsAction(m)->trigger();
        h->toAuthor();
        QTest::mouseMove(createButton(a), QPoint(12, 10));
        QVERIFY(createButton(a)->toolTip().isEmpty());
    }

    void contentsAsksForTheBoundHelpFile()
    {
        GeneralInfoScreen *m = start();
        contentsAction(m)->trigger();
        contentsAction(m)->trigger();
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
