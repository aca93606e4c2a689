#include "ui/toolkit/Placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace velmora::look {

namespace {

// The frame that the desktop drew around the last window whose frame it
// told: windows are framed alike, so the next window is centred with it at
// once.
QMargins &lastKnownFrame()
{
    static QMargins frame;
    return frame;
}

QMargins frameOf(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

// Centres the window again once the desktop has put its frame around it,
// if the frame is not the one it was centred with; gives up after a while
// (a desktop that draws no frame), so that it never moves a window the user
// has placed.
class CentreWhenFramed : public QObject {
public:
    CentreWhenFramed(QWidget *window, const QMargins &assumed)
        : QObject(window), m_window(window), m_assumed(assumed)
    {
        window->installEventFilter(this);
        QTimer::singleShot(3000, this, [this] { deleteLater(); });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && !m_done
            && (event->type() == QEvent::Paint || event->type() == QEvent::Move
                || event->type() == QEvent::WindowActivate)) {
            const QMargins frame = frameOf(m_window);
            if (!frame.isNull()) {
                m_done = true;
                lastKnownFrame() = frame;
                if (frame != m_assumed)
                    centreWithFrame(m_window, frame);
                deleteLater();
            }
        }
        return false;
    }

private:
    QWidget *m_window;
    QMargins m_assumed;
    bool m_done = false;
};

QScreen *screenOf(const QWidget *window)
{
    return window->screen() ? window->screen() : QGuiApplication::primaryScreen();
}

}  // namespace

QRect keptInside(QRect outer, const QRect &area)
{
    // A side longer than the area starts at the area's start, so that the
    // title bar and the top of the window can always be reached.
    if (outer.width() > area.width() || outer.left() < area.left())
        outer.moveLeft(area.left());
    else if (outer.right() > area.right())
        outer.moveRight(area.right());
    if (outer.height() > area.height() || outer.top() < area.top())
        outer.moveTop(area.top());
    else if (outer.bottom() > area.bottom())
        outer.moveBottom(area.bottom());
    return outer;
}

void centreWithFrame(QWidget *window, const QMargins &frame)
{
    QScreen *screen = screenOf(window);
    if (!screen)
        return;
    QRect outer(QPoint(0, 0), window->size().grownBy(frame));
    outer.moveCenter(screen->availableGeometry().center());
    // A window's position is its frame's.
    window->move(keptInside(outer, screen->availableGeometry()).topLeft());
}

void keepOnScreen(QWidget *window)
{
    QScreen *screen = screenOf(window);
    if (!screen)
        return;
    QMargins frame = frameOf(window);
    if (frame.isNull())
        frame = lastKnownFrame();
    const QRect outer(window->pos(), window->size().grownBy(frame));
    window->move(keptInside(outer, screen->availableGeometry()).topLeft());
}

void centreOnScreen(QWidget *window)
{
    QMargins frame = frameOf(window);
    const bool known = !frame.isNull();
    if (!known)
        frame = lastKnownFrame();
    centreWithFrame(window, frame);
    if (!known)
        new CentreWhenFramed(window, frame);
}

}  // namespace velmora::look
