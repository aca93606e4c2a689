#include "ui/toolkit/ScreenTools.h"

#include <QAbstractScrollArea>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QToolTip>

namespace velmora {

void setTabOrderChain(std::initializer_list<QWidget *> widgets)
{
    QWidget *previous = nullptr;
    for (QWidget *widget : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void watchPointer(QWidget *widget, QObject *filter)
{
    QWidget *target = widget;
    if (auto *area = qobject_cast<QAbstractScrollArea *>(widget))
        target = area->viewport();
    target->setMouseTracking(true);
    target->installEventFilter(filter);
}

std::optional<int> typedCharacterCode(const QKeyEvent &event)
{
    // Keys that move the focus or the cursor, or edit without typing, may
    // carry a control character in their text (Tab 9, Delete 127) but type
    // nothing into a box.
    switch (event.key()) {
    case Qt::Key_Tab: case Qt::Key_Backtab: case Qt::Key_Delete: case Qt::Key_Insert:
    case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Up: case Qt::Key_Down:
    case Qt::Key_Home: case Qt::Key_End: case Qt::Key_PageUp: case Qt::Key_PageDown:
        return std::nullopt;
    default:
        if (event.key() >= Qt::Key_F1 && event.key() <= Qt::Key_F35)
            return std::nullopt;
    }
    const Qt::KeyboardModifiers mods = event.modifiers();
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier)) {
        const int key = event.key();
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return key - Qt::Key_A + 1;
        if (key >= Qt::Key_BracketLeft && key <= Qt::Key_Underscore)
            return key - Qt::Key_BracketLeft + 27;
    }
    const QString text = event.text();
    if (text.isEmpty())
        return std::nullopt;
    return int(text.at(0).unicode());
}

bool showOwnToolTip(QWidget *widget, QEvent *event)
{
    auto *help = static_cast<QHelpEvent *>(event);
    if (widget->toolTip().isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), widget->toolTip(), widget);
    return true;
}

}  // namespace velmora
