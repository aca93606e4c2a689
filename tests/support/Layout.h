#pragma once

// Controls.h brings the screens (each a Screen), the menu bar, the line
// edit, the button and list widgets and the multi-line box (a QPlainTextEdit).
#include "Controls.h"

#include <QLabel>
#include <QDebug>
#include <QScreen>
#include <QStyle>
#include <QValidator>
#include <QTest>

#include <cmath>
#include <tuple>

namespace velmora::test {

// What a reader of a failure needs to find the control: its class and the
// name a screen reader reads.
inline QString nameOf(const QWidget *w)
{
    return QStringLiteral("%1 \"%2\"").arg(w->metaObject()->className(), spokenName(const_cast<QWidget *>(w)));
}

// Holds a screen to what every layout table promises, whatever the numbers:
// a window of fixed size, unless it grows; every control inside the client area; no two
// controls overlapping (a label stands beside its box, not over it); every
// caption whole in the font actually used, and a line of text fitting every
// text box.
inline void checkLayoutInvariants(const Screen *screen)
{
    const QWidget *client = screen->client();
    // A window that grows (tst_keyboard says which) is held to the rest at
    // every size a test gives it.
    if (!(screen->windowFlags() & Qt::WindowMaximizeButtonHint))
        QCOMPARE(screen->minimumSize(), screen->maximumSize());
    QVERIFY(screen->rect().contains(client->geometry()));
    if (const auto *bar = screen->findChild<const QMenuBar *>())  // above the client area, not over it
        QVERIFY(!bar->geometry().intersects(client->geometry()));

    QList<const QWidget *> controls = client->findChildren<const QWidget *>(Qt::FindDirectChildrenOnly);
    controls.removeIf([](const QWidget *w) { return w->isHidden(); });
    for (const QWidget *w : controls) {
        const QString name = nameOf(w);
        const QFontMetrics fm(w->font());
        QVERIFY2(client->rect().contains(w->geometry()), qPrintable(name + " leaves the client area"));
        if (auto *l = qobject_cast<const QLabel *>(w)) {
            const int needed = l->wordWrap() ? l->heightForWidth(l->width()) : l->sizeHint().height();
            QVERIFY2(l->height() >= needed, qPrintable(name + " is cut off at the bottom"));
            if (!l->wordWrap())
                QVERIFY2(l->width() >= fm.horizontalAdvance(l->text()), qPrintable(name + " is cut off"));
        } else if (auto *b = qobject_cast<const QAbstractButton *>(w)) {
            // Room for the caption and the button's own frame on each side.
            QVERIFY2(fm.horizontalAdvance(QString(b->text()).remove(u'&')) + 8 <= b->width(), qPrintable(name + " is cut off"));
            QVERIFY2(fm.height() + 4 <= b->height(), qPrintable(name + " is cut off"));
        } else if (qobject_cast<const QLineEdit *>(w) || qobject_cast<const QPlainTextEdit *>(w)) {
            QVERIFY2(fm.height() <= w->contentsRect().height(),
                     qPrintable(name + " cannot show a line of text"));
            // A box whose rule holds its length shows the longest run of
            // each character the rule takes, inside its frame and Qt's
            // two-pixel margins.
            const QValidator *rule = qobject_cast<const QLineEdit *>(w) ? static_cast<const QLineEdit *>(w)->validator() : nullptr;
            for (char16_t c = u' '; rule && c <= u'~'; ++c) {
                QString run, more(1, QChar(c));
                for (int pos = 0; more.size() < 1000 && rule->validate(more, pos) == QValidator::Acceptable; more += c)
                    run = more;
                const int room = w->width() - 2 * w->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) - 4;
                QVERIFY2(more.size() == 1000 || fm.horizontalAdvance(run) <= room, qPrintable(name + " cannot show " + run));
            }
        }
    }
    for (int i = 0; i < controls.size(); ++i) {
        for (int j = i + 1; j < controls.size(); ++j) {
            QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                     qPrintable(nameOf(controls[i]) + " overlaps " + nameOf(controls[j])));
        }
    }
}

// The window with its frame lies on the screen's available area; one taller
// (or wider) than that area starts at its top (or left).
inline void checkOnTheScreen(const QWidget *window)
{
    const QRect available = window->screen()->availableGeometry();
    const QRect frame = window->frameGeometry();
    QString where;
    QDebug(&where) << window->windowTitle() << frame << "on" << available;
    // Along one axis: within the area when it fits, else at its start.
    const auto placed = [](int start, int end, int areaStart, int areaEnd) {
        return end - start <= areaEnd - areaStart ? start >= areaStart && end <= areaEnd : start == areaStart;
    };
    QVERIFY2(placed(frame.top(), frame.bottom(), available.top(), available.bottom()), qPrintable(where));
    QVERIFY2(placed(frame.left(), frame.right(), available.left(), available.right()), qPrintable(where));
}


// Every box of the screen (single-line, multi-line, list) drawn with its
// frame on all four sides, whatever the scale factor, in a grab of the
// screen at its device pixel ratio: a side counts as drawn when, along at
// least 90% of it (corners left out), one of the device pixels its line
// covers is clearly darker than the box's base colour.
inline void checkFramesDrawn(const Screen *screen)
{
    const QImage shot = const_cast<Screen *>(screen)->grab().toImage();
    const qreal ratio = shot.devicePixelRatio();
    for (const QWidget *box : screen->client()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!qobject_cast<const QLineEdit *>(box) && !qobject_cast<const QAbstractScrollArea *>(box))
            continue;
        const QRect r(box->mapTo(screen, QPoint(0, 0)), box->size());
        const int light = qGray(box->palette().color(QPalette::Base).rgb());
        const auto dark = [&](int x, int y) {
            return shot.rect().contains(x, y) && qGray(shot.pixel(x, y)) <= light - 40;
        };
        const auto drawn = [&](bool horizontal, int line) {
            // The device rows (or columns) that a logical line of one pixel covers.
            const int first = int(std::floor(line * ratio)), last = int(std::ceil((line + 1) * ratio)) - 1;
            const int from = int(std::ceil((horizontal ? r.left() : r.top()) * ratio)) + 3;
            const int to = int(std::floor((horizontal ? r.right() + 1 : r.bottom() + 1) * ratio)) - 4;
            int marked = 0;
            for (int along = from; along <= to; ++along) {
                bool any = false;
                for (int across = first; across <= last && !any; ++across)
                    any = horizontal ? dark(along, across) : dark(across, along);
                marked += any;
            }
            return marked >= 0.9 * (to - from + 1);
        };
        const std::tuple<const char *, bool, int> sides[] = {
            {"top", true, r.top()}, {"bottom", true, r.bottom()}, {"left", false, r.left()}, {"right", false, r.right()}};
        for (const auto &[side, horizontal, line] : sides)
            QVERIFY2(drawn(horizontal, line), qPrintable(nameOf(box) + " has no border at its " + side));
    }
}

}  // namespace velmora::test
