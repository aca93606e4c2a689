#include "ui/toolkit/Screen.h"

#include "ui/toolkit/Fonts.h"
#include "ui/toolkit/Twips.h"

#include <QCloseEvent>
#include <QMenuBar>

namespace velmora {

namespace {

// A fixed-size window with a title bar that shows the caption alone.
void setupFixedWindow(QWidget *window, const QString &caption)
{
    window->setWindowTitle(caption);
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    window->setFont(look::screenFont());
}

}  // namespace

Screen::Screen(const QString &caption, int clientWidthTwips, int clientHeightTwips)
    : m_client(new QWidget(this)), m_caption(caption)
{
    setupFixedWindow(this, caption);
    m_client->setGeometry(QRect(QPoint(0, 0), twipsSize(clientWidthTwips, clientHeightTwips)));
    setFixedSize(m_client->size());
}

void Screen::setMenuBar(QMenuBar *menuBar)
{
    const int height = menuBar->sizeHint().height();
    menuBar->setGeometry(0, 0, m_client->width(), height);
    m_client->move(0, height);
    setFixedSize(m_client->width(), m_client->height() + height);
}

void Screen::showFileName(const QString &fileName)
{
    setWindowTitle(fileName.isEmpty() ? m_caption : m_caption + QStringLiteral(" - ") + fileName);
}

void Screen::growWithWindow(const QList<QWidget *> &grows)
{
    if (m_designedClient.isEmpty()) {
        m_designedClient = m_client->size();
        setMinimumSize(size());
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    }
    m_designedPlaces.clear();
    m_grows.clear();
    for (QWidget *w : grows)
        m_grows.append(w);
    // Where each control stands in the designed client area.
    const QSize gained = m_client->size() - m_designedClient;
    for (QWidget *w : m_client->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const QRect now = w->geometry();
        const bool right = now.center().x() - gained.width() > m_designedClient.width() / 2;
        m_designedPlaces.append({w, grows.contains(w) ? now.adjusted(0, 0, -gained.width(), -gained.height())
                                                      : now.translated(right ? -gained.width() : 0, -gained.height())});
    }
}

void Screen::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_designedClient.isEmpty())
        return;
    m_client->resize(width(), height() - m_client->y());
    const QSize gained = m_client->size() - m_designedClient;
    for (const auto &[w, designed] : std::as_const(m_designedPlaces)) {
        if (!w)
            continue;
        const bool right = designed.center().x() > m_designedClient.width() / 2;
        w->setGeometry(m_grows.contains(w) ? designed.adjusted(0, 0, gained.width(), gained.height())
                                            : designed.translated(right ? gained.width() : 0, gained.height()));
    }
}

void Screen::closeEvent(QCloseEvent *event)
{
    if (m_closing) {
        event->accept();
        return;
    }
    event->ignore();
    closeRequested();
}

}  // namespace velmora
