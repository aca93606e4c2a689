#pragma once

#include <QMargins>
#include <QRect>

class QWidget;

namespace velmora::look {

// Where a window goes: centred with its frame on the screen's available
// area, or moved back onto it, never with its title bar out of reach.

// Centres a window with its frame on the screen's available area, on its
// first showing; a frame the desktop has not drawn yet is waited for.
void centreOnScreen(QWidget *window);
// The window placed so that its frame (frame margins around its size) has
// its centre at the centre of the available area, kept inside that area.
void centreWithFrame(QWidget *window, const QMargins &frame);
// The window, with its frame, moved the least way onto the screen's
// available area.
void keepOnScreen(QWidget *window);
// outer moved the least way into area; a side longer than the area starts
// at the area's top or left.
QRect keptInside(QRect outer, const QRect &area);

}  // namespace velmora::look
