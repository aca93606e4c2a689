#include "platform/ScreenTools.h"

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
