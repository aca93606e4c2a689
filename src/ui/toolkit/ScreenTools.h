#pragma once

#include <QWidget>
#include <initializer_list>
#include <optional>

class QEvent;
class QKeyEvent;

namespace velmora {

// Tab order as the layout tables give it, first to last.
void setTabOrderChain(std::initializer_list<QWidget *> widgets);

// Routes pointer movements over widget (over an item view's viewport for an
// item view) to filter's eventFilter, without a button held.
void watchPointer(QWidget *widget, QObject *filter);

// The character code a key press types: the text's first character, or the
// control character of Ctrl+letter (Ctrl+C is 3). Nothing for keys that type
// no character into a box (Tab, Shift+Tab, arrows, Delete, Home, End,
// Insert, function keys), whatever text the desktop sends with them.
std::optional<int> typedCharacterCode(const QKeyEvent &event);

// Shows widget's own tooltip for a tooltip event that arrived at one of its
// parts (an item view's viewport asks its items, which have none); hides any
// tooltip when widget's tooltip is empty. Returns true: the event is handled.
bool showOwnToolTip(QWidget *widget, QEvent *event);

}  // namespace velmora
