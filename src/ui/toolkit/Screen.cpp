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
    : m_client(new QWidget(this))
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
