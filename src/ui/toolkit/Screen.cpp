#include "ui/toolkit/Screen.h"

#include "ui/toolkit/Look.h"
#include "ui/toolkit/Twips.h"

#include <QCloseEvent>
#include <QMenuBar>

namespace velmora {

Screen::Screen(const QString &caption, int clientWidthTwips, int clientHeightTwips)
    : m_client(new QWidget(this))
{
    look::setupFixedWindow(this, caption);
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
