#include "Harness.h"
#include "screens/frmMain.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QPushButton>
#include <QtTest>

using namespace velmora;
using namespace velmora::test;

class TestSplash : public QObject {
    Q_OBJECT

private slots:
    void startShowsOnlyTheSplash()
    {
        Harness h;
        h.navigator->start();
        frmSplash *splash = h.navigator->splash();
        QVERIFY(QTest::qWaitForWindowExposed(splash));

        QCOMPARE(splash->size(), QSize(431, 331));
        QVERIFY(splash->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(splash->rect().contains(splash->pbTaskProgress->geometry()));
        const QImage art = splash->Image1->pixmap().toImage();
        QCOMPARE(art.size(), QSize(431, 331));
        // The bar lies in the dark strip along the top of the picture.
        QVERIFY(qGray(art.pixel(180, 12)) < 80);

        QCOMPARE(splash->pbTaskProgress->value(), 0);
        QVERIFY(splash->pbTaskProgress->isVisible());
        QCOMPARE(splash->cursor().shape(), Qt::WaitCursor);
        QVERIFY(splash->tmrTaskTimer->isActive());

        // Nothing of the main screen happens before the hand-over.
        QVERIFY(h.navigator->screen(ScreenId::Main) == nullptr);
        QVERIFY(h.ctx().help.helpFilePath().isEmpty());
    }

    void twentyTicksHandOverToTheMainScreen()
    {
        Harness h;
        h.navigator->start();
        frmSplash *splash = h.navigator->splash();
        for (int tick = 1; tick <= 19; ++tick) {
            h.tick(splash);
            QCOMPARE(splash->pbTaskProgress->value(), tick * 5);
        }
        QVERIFY(splash->isVisible());
        QVERIFY(h.navigator->screen(ScreenId::Main) == nullptr);

        h.tick(splash);
        QCOMPARE(splash->pbTaskProgress->value(), 100);
        QVERIFY(!splash->pbTaskProgress->isVisible());
        QVERIFY(!splash->tmrTaskTimer->isActive());
        QTest::qWait(50);  // the picture reaching the screen late starts nothing
        QVERIFY(!splash->tmrTaskTimer->isActive());
        QVERIFY(splash->cursor().shape() != Qt::WaitCursor);
        QVERIFY(!splash->isVisible());
        auto *main = h.screen<frmMain>(ScreenId::Main);
        QVERIFY(main && main->isVisible());
        // The main screen's load bound the help file.
        QCOMPARE(h.ctx().help.helpOwnerWindow(), main);
        QCOMPARE(h.ctx().help.helpFilePath(), h.folder() + "/Velmora 1_0.HLP");
    }

    void clicksAndKeysDoNotShortenTheSplash()
    {
        Harness h;
        h.navigator->start();
        frmSplash *splash = h.navigator->splash();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        h.tick(splash);
        QTest::mouseClick(splash, Qt::LeftButton, {}, QPoint(200, 200));
        QTest::keyClick(splash, Qt::Key_Escape);
        QTest::keyClick(splash, Qt::Key_Return);
        splash->close();
        QCOMPARE(splash->pbTaskProgress->value(), 5);
        QVERIFY(splash->isVisible());
        QVERIFY(h.navigator->screen(ScreenId::Main) == nullptr);
    }

    // The real timer: the hand-over comes after two seconds, never earlier,
    // and no tick follows it.
    void realTimerHandsOverAfterTwoSeconds()
    {
        Harness h;
        QElapsedTimer clock;
        clock.start();
        h.navigator->start();
        frmSplash *splash = h.navigator->splash();
        QTRY_VERIFY_WITH_TIMEOUT(h.navigator->screen(ScreenId::Main) != nullptr, 6000);
        const qint64 elapsed = clock.elapsed();
        QVERIFY2(elapsed >= 1990, qPrintable(QString::number(elapsed)));
        QVERIFY(!splash->isVisible());
        QTest::qWait(300);
        QCOMPARE(splash->pbTaskProgress->value(), 100);
        QVERIFY(h.navigator->screen(ScreenId::Main)->isVisible());
    }
};

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
