// The splash: twenty ticks and the hand-over, nothing of the main screen
// before it, and no way to shorten it.

#include "Harness.h"

#include <QElapsedTimer>
#include <QProgressBar>
#include <QtTest>

using namespace velmora;
using namespace velmora::test;

class TestSplash : public ProgramSuite {
    Q_OBJECT

private slots:
    void twentyTicksHandOverToTheMainScreen()
    {
        h->navigator->start();
        SplashScreen *splash = h->navigator->splash();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        QCOMPARE(splash->cursor().shape(), Qt::WaitCursor);
        QVERIFY(timer(splash)->isActive());
        // Clicks, keys and a close request change nothing.
        splash->tick();
        QTest::mouseClick(splash, Qt::LeftButton, {}, QPoint(200, 200));
        QTest::keyClick(splash, Qt::Key_Escape);
        splash->close();
        for (int tick = 2; tick <= 19; ++tick)
            splash->tick();
        QCOMPARE(progressBar(splash)->value(), 95);
        QVERIFY(splash->isVisible());
        // Nothing of the main screen happens before the hand-over.
        QVERIFY(h->main() == nullptr);
        QVERIFY(h->context().help.helpFilePath().isEmpty());

        splash->tick();
        QVERIFY(!splash->isVisible());
        QVERIFY(!timer(splash)->isActive());
        QVERIFY(splash->cursor().shape() != Qt::WaitCursor);
        QVERIFY(h->main() && h->main()->isVisible());
        // The main screen's load bound the help file.
        QCOMPARE(h->context().help.helpOwnerWindow(), h->main());
        QCOMPARE(h->context().help.helpFilePath(), h->folder() + "/Velmora 1_0.HLP");
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
};

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
