#pragma once

#include <QColor>
#include <QString>

class QAbstractScrollArea;
class QLabel;
class QLineEdit;
class QPushButton;
class QListWidget;
class QWidget;

namespace velmora::look {

// The colours of the screens' headings.
inline QColor darkBlue() { return QColor(0, 0, 128); }
inline QColor darkGreen() { return QColor(0, 128, 0); }

// Controls placed by twips, in one call each, so a screen's constructor reads
// like its layout table.
QLabel *label(QWidget *parent, const QString &caption, int left, int top);
QLabel *heading(QWidget *parent, const QString &caption, int left, int top, const QColor &colour,
                bool bold = true);
// A single-line box (SingleLineBox, in Input.h).
QLineEdit *lineBox(QWidget *parent, int left, int top, int width, int height, int maxLength = 0);
// A button that Return and Enter press (KeyboardButton, in Input.h).
QPushButton *button(QWidget *parent, const QString &caption, int left, int top, int width,
                    int height);
QListWidget *listBox(QWidget *parent, int left, int top, int width, int height);
// Draws the frame of a box with a view inside (a multi-line box, a list)
// once more, above the view and the scroll bar. At a fractional scale factor
// (1.25) those are rounded out to whole device pixels and can cover a side
// of the frame, and a one-line-high box then loses its bottom border.
void keepFrameOnTop(QAbstractScrollArea *box);
// Ties a label to the control beside it, so that a screen reader announces
// the control by the label's text, without its trailing colon.
void nameBy(QLabel *label, QWidget *control);
// A list one row high: every row fills the view, so exactly one shows.
void showOneRowAtATime(QListWidget *list);

// An etched separator: a line in button-shadow grey with a line in the
// title-bar-text colour beside it. Coordinates in twips.
void horizontalSeparator(QWidget *parent, int fromX, int toX, int y1, int y2);
void verticalSeparator(QWidget *parent, int x1, int x2, int fromY, int toY);

}  // namespace velmora::look
