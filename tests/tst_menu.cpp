#include "Harness.h"
#include "presets/frmPreset.h"
#include "screens/frmAuthor.h"
#include "screens/frmMain.h"
#include "screens/frmProgram.h"
#include "viewer/frmView.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

using namespace velmora;
using namespace velmora::test;

class TestMenu : public QObject {
    Q_OBJECT

private slots:
    void captionsAndOrder()
    {
        Harness h;
        auto *main = h.startToMain<frmMain>();
        QStringList shown;
        for (QAction *top : main->menuBar->actions()) {
            shown << top->text();
            for (QAction *entry : top->menu()->actions()) {
                shown << (entry->isSeparator() ? QString("-") : "  " + entry->text());
                QVERIFY(entry->isEnabled() && entry->isVisible());
                QVERIFY(entry->shortcut().isEmpty());
            }
        }
        QCOMPARE(shown, QStringList({"&File", "  Constants", "-", "  E&xit", "&Tools", "  Tooltips",
                                     "-", "  View", "&Help", "  Contents"}));
        QVERIFY(main->mnuMTTips->isCheckable());
        QVERIFY(!main->mnuMTTips->isChecked());
        QVERIFY(h.ctx().TooltipsOn.isEmpty());
    }

    void altKeyOpensAMenu()
    {
        Harness h;
        auto *main = h.startToMain<frmMain>();
        QVERIFY(QTest::qWaitForWindowActive(main));
        QTest::keyClick(main->txtMName, Qt::Key_T, Qt::AltModifier);
        QTRY_VERIFY(main->mnuMTools->isVisible());
        main->mnuMTools->close();
    }

    void tooltipSwitchThroughThreeChoices()
    {
        Harness h;
        auto *main = h.startToMain<frmMain>();
        const QString typeTip = "Be sure to click an item (it will be highlited)";
        const QString osTip = "Double-click the OS(s) that are compatible with your program";
        const auto hover = [&] {
            QTest::mouseMove(main->lstMType->viewport(), QPoint(6, 4));
            QTest::mouseMove(main->lstMNCompat->viewport(), QPoint(6, 14));
        };
        hover();
        QVERIFY(main->lstMType->toolTip().isEmpty());

        const QStringList expected{"yes", "no", "yes"};
        for (const QString &value : expected) {
            main->mnuMTTips->trigger();
            QCOMPARE(h.ctx().TooltipsOn, value);
            QCOMPARE(main->mnuMTTips->isChecked(), value == "yes");
            hover();
            QCOMPARE(main->lstMType->toolTip(), value == "yes" ? typeTip : QString());
            QCOMPARE(main->lstMNCompat->toolTip(), value == "yes" ? osTip : QString());
        }
        QVERIFY(main->lstMCompat->toolTip().isEmpty());  // not a governed control

        // The third governed control, on the author screen.
        QTest::mouseClick(main->cmdMNext, Qt::LeftButton);
        QTest::mouseClick(h.screen<frmProgram>(ScreenId::Program)->cmdPNext, Qt::LeftButton);
        auto *author = h.screen<frmAuthor>(ScreenId::Author);
        QVERIFY(QTest::qWaitForWindowExposed(author));
        QTest::mouseMove(author->cmdACreate, QPoint(10, 10));
        QCOMPARE(author->cmdACreate->toolTip(), QString("Creates the readme file"));
        QTest::mouseClick(author->cmdAMain, Qt::LeftButton);
        main->mnuMTTips->trigger();
        QCOMPARE(h.ctx().TooltipsOn, QString("no"));
        QTest::mouseClick(main->cmdMNext, Qt::LeftButton);
        QTest::mouseClick(h.screen<frmProgram>(ScreenId::Program)->cmdPNext, Qt::LeftButton);
        QTest::mouseMove(author->cmdACreate, QPoint(12, 10));
        QVERIFY(author->cmdACreate->toolTip().isEmpty());
    }

    void listTooltipIsShownOverItsRows()
    {
        Harness h;
        auto *main = h.startToMain<frmMain>();
        main->mnuMTTips->trigger();
        QWidget *viewport = main->lstMNCompat->viewport();
        QTest::mouseMove(viewport, QPoint(10, 10));
        QHelpEvent help(QEvent::ToolTip, QPoint(10, 10), viewport->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(viewport, &help);
        QTRY_COMPARE(QToolTip::text(), QString("Double-click the OS(s) that are compatible with your program"));
        QToolTip::hideText();
    }

    void constantsAndViewChangeScreens()
    {
        Harness h;
        auto *main = h.startToMain<frmMain>();
        main->mnuMFConstants->trigger();
        auto *preset = h.screen<frmPreset>(ScreenId::Preset);
        QVERIFY(preset && preset->isVisible());
        QVERIFY(!main->isVisible());
        QTest::mouseClick(preset->cmdCMain, Qt::LeftButton);
        QVERIFY(main->isVisible() && !preset->isVisible());

        h.platform.dialogAnswers = {std::nullopt};
        main->mnuMTView->trigger();
        auto *view = h.screen<frmView>(ScreenId::View);
        QVERIFY(view && view->isVisible());
        QVERIFY(!main->isVisible());
        QTest::mouseClick(view->cmdVMain, Qt::LeftButton);
        QVERIFY(main->isVisible() && !view->isVisible());
    }

    void viewAndBackReloadsThePresetBoxes()
    {
        Harness h("\"Old\",\"w\",\"l\",\"n\",\"\",\"\"\r\n");
        auto *main = h.startToMain<frmMain>();
        main->txtMCompany->setText("Typed");
        h.writePresets("\"Saved\",\"w2\",\"l2\",\"n2\",\"\",\"\"\r\n");
        h.platform.dialogAnswers = {std::nullopt};
        main->mnuMTView->trigger();
        QTest::mouseClick(h.screen<frmView>(ScreenId::View)->cmdVMain, Qt::LeftButton);
        QCOMPARE(main->txtMCompany->text(), QString("Typed"));
        QCOMPARE(main->txtMNeed->text(), QString("n2"));
    }

    void fileExitAsksTheSameQuestion()
    {
        Harness h;
        auto *main = h.startToMain<frmMain>();
        QSignalSpy ended(h.navigator.get(), &Navigator::programEnded);
        h.platform.messageAnswers = {MessageAnswer::No, MessageAnswer::Yes};
        main->mnuMFExit->trigger();
        QCOMPARE(h.platform.messages().size(), size_t(1));
        QCOMPARE(h.platform.messages()[0].title, QString("Exit?"));
        QCOMPARE(h.platform.messages()[0].style, 4132);
        QCOMPARE(ended.count(), 0);
        QVERIFY(main->isVisible());
        main->mnuMFExit->trigger();
        QCOMPARE(ended.count(), 1);
        QVERIFY(!main->isVisible());
    }

    void contentsAsksForTheBoundHelpFile()
    {
        Harness h;
        auto *main = h.startToMain<frmMain>();
        main->mnuMHContents->trigger();
        main->mnuMHContents->trigger();
        const auto calls = h.platform.callsOf(ScriptedPlatform::Kind::HelpContents);
        QCOMPARE(calls.size(), size_t(2));
        for (const auto &call : calls) {
            QCOMPARE(call.owner, main);
            QCOMPARE(call.path, h.folder() + "/Velmora 1_0.HLP");
        }
        QVERIFY(main->isVisible());
        QVERIFY(h.platform.messages().empty());
    }
};

QTEST_MAIN(TestMenu)
#include "tst_menu.moc"
