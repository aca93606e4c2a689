// Every screen at the scale factor the run was started with: CTest runs
// this suite at 1, 1.25, 1.5 and 2, on a screen of 1366x768 pixels, so that
// at 2 the main window is taller than the screen. At each factor every
// screen keeps the layout's invariants, every framed box is drawn with its
// frame on all four sides, and every window lies on the screen.

#include "Harness.h"
#include "Layout.h"
#include "help/HelpWindow.h"
#include "screens/frmMain.h"

#include <QAbstractScrollArea>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScreen>
#include <QtTest>

#include <cmath>

using namespace velmora;
using namespace velmora::test;

namespace {

// The device rows (or columns) that a logical line of one pixel covers.
std::pair<int, int> deviceSpan(int logical, qreal ratio)
{
    return {int(std::floor(logical * ratio)), int(std::ceil((logical + 1) * ratio)) - 1};
}

// The sides of box whose frame line is not drawn in shot, a grab of window
// at its device pixel ratio: a side counts as drawn when, along at least 90%
// of it (corners left out), one of the device pixels its line covers is
// clearly darker than the box's base colour.
QStringList sidesNotDrawn(const QImage &shot, const QWidget *window, const QWidget *box)
{
    const qreal ratio = shot.devicePixelRatio();
    const QRect r(box->mapTo(window, QPoint(0, 0)), box->size());
    const int light = qGray(box->palette().color(QPalette::Base).rgb());
    const auto dark = [&](int x, int y) {
        return shot.rect().contains(x, y) && qGray(shot.pixel(x, y)) <= light - 40;
    };
    const auto drawn = [&](bool horizontal, int line) {
        const auto [first, last] = deviceSpan(line, ratio);
        const int from = int(std::ceil((horizontal ? r.left() : r.top()) * ratio)) + 3;
        const int to = int(std::floor((horizontal ? r.right() + 1 : r.bottom() + 1) * ratio)) - 4;
        int marked = 0;
        for (int along = from; along <= to; ++along) {
            for (int across = first; across <= last; ++across) {
                if (horizontal ? dark(along, across) : dark(across, along)) {
                    ++marked;
                    break;
                }
            }
        }
        return marked >= 0.9 * (to - from + 1);
    };
    QStringList missing;
    if (!drawn(true, r.top()))
        missing << "top";
    if (!drawn(true, r.bottom()))
        missing << "bottom";
    if (!drawn(false, r.left()))
        missing << "left";
    if (!drawn(false, r.right()))
        missing << "right";
    return missing;
}

// The window with its frame lies on the screen's available area; one taller
// (or wider) than that area starts at its top (or left).
void checkOnTheScreen(const QWidget *window)
{
    const QRect available = window->screen()->availableGeometry();
    const QRect frame = window->frameGeometry();
    const QString where = QStringLiteral("%1 at %2,%3 %4x%5 on %6x%7")
                              .arg(window->windowTitle())
                              .arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())
                              .arg(available.width()).arg(available.height());
    if (frame.height() <= available.height())
        QVERIFY2(frame.top() >= available.top() && frame.bottom() <= available.bottom(), qPrintable(where));
    else
        QVERIFY2(frame.top() == available.top(), qPrintable(where));
    if (frame.width() <= available.width())
        QVERIFY2(frame.left() >= available.left() && frame.right() <= available.right(), qPrintable(where));
    else
        QVERIFY2(frame.left() == available.left(), qPrintable(where));
}

}  // namespace

class TestScaling : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The factor really applies (a typo in the test's environment would
        // test 1 four times).
        const qreal wanted = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
        QCOMPARE(QGuiApplication::primaryScreen()->devicePixelRatio(), wanted);
        qInfo("scale factor %g, screen %dx%d", wanted, QGuiApplication::primaryScreen()->availableGeometry().width(),
              QGuiApplication::primaryScreen()->availableGeometry().height());
    }

    void everyScreen_data()
    {
        QTest::addColumn<ScreenId>("id");
        QTest::addColumn<QSize>("clientTwips");
        QTest::newRow("general info") << ScreenId::Main << QSize(5775, 5550);
        QTest::newRow("program info") << ScreenId::Program << QSize(6975, 5100);
        QTest::newRow("author") << ScreenId::Author << QSize(3495, 1485);
        QTest::newRow("presets") << ScreenId::Preset << QSize(4815, 5310);
        QTest::newRow("viewer") << ScreenId::View << QSize(7140, 3750);
    }

    void everyScreen()
    {
        QFETCH(ScreenId, id);
        QFETCH(QSize, clientTwips);
        Harness h;
        auto *main = h.startToMain<frmMain>();
        QVERIFY(main);
        if (id != ScreenId::Main)
            h.navigator->change(main, id);
        Screen *screen = h.navigator->screen(id);
        QVERIFY(QTest::qWaitForWindowExposed(screen));

        checkLayoutInvariants(screen, clientTwips.width(), clientTwips.height());
        checkOnTheScreen(screen);

        const QImage shot = screen->grab().toImage();
        int boxes = 0;
        for (const QWidget *box : screen->client()->findChildren<QWidget *>()) {
            if (!qobject_cast<const QLineEdit *>(box) && !qobject_cast<const QAbstractScrollArea *>(box))
                continue;
            if (box->parentWidget() != screen->client())
                continue;  // parts of a box, not a box
            ++boxes;
            const QStringList missing = sidesNotDrawn(shot, screen, box);
            if (!missing.isEmpty() && qEnvironmentVariableIsSet("VELMORA_SHOTS"))
                shot.save(QString("%1/%2.png").arg(qEnvironmentVariable("VELMORA_SHOTS"), QTest::currentDataTag()));
            QVERIFY2(missing.isEmpty(), qPrintable(box->accessibleName() + " has no border at its "
                                                   + missing.join(", ")));
        }
        QVERIFY(boxes > 0);
    }

    // The splash screen, and the help window over the main window.
    void otherWindowsStayOnTheScreen()
    {
        Harness h;
        h.navigator->start();
        QVERIFY(QTest::qWaitForWindowExposed(h.navigator->splash()));
        checkOnTheScreen(h.navigator->splash());
        auto *main = h.startToMain<frmMain>();
        // The main window dragged to the screen's corner: the help window,
        // which opens over it, stays on the screen.
        main->move(main->screen()->availableGeometry().bottomRight() - QPoint(100, 100));
        HelpWindow help(main);
        help.showContents(QStringLiteral(VELMORA_TEST_DATA "/../../resources/Velmora 1_0.HLP"));
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        checkOnTheScreen(&help);
        QVERIFY(help.browser()->toPlainText().contains("Contents"));
    }
};

QTEST_MAIN(TestScaling)
#include "tst_scaling.moc"
