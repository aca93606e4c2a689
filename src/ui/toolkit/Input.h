#pragma once

#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <QStringView>
#include <QWidget>
#include <initializer_list>

class QEvent;
class QKeyEvent;
class QListWidget;
class QMimeData;

// What the controls do with keys, the pointer and text: what the boxes make
// of typed, pasted and dropped text and how they wrap, the buttons that
// Return and Enter press, the Tab order, and the lists' pointer and tooltips.
namespace velmora::look {

// A single-line box: whatever the user pastes or drops into it becomes one
// line, each line break a space. Text the program puts in stays as it is.
//
// Neither kind of box takes Alt with a character that is no access key:
// the key is left to the window, and nothing is typed.
class SingleLineBox : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    // The middle button pastes the X11 selection.
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void pasteAsOneLine(QClipboard::Mode mode);
};

// A multi-line text box. Qt keeps lines apart with its own separators; what
// leaves the box has CR LF, and what goes in may use CR LF, CR or LF.
class MultiLineBox : public QPlainTextEdit {
public:
    MultiLineBox(QWidget *parent, int left, int top, int width, int height);
    QString text() const;
    void setText(const QString &text);

protected:
    void insertFromMimeData(const QMimeData *source) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The text as text() gives it, kept until the box changes: a box that
    // holds a large text is read again only after it has changed.
    mutable QString m_text;
    mutable bool m_textKnown = false;
};

// A button that Return and Enter press while it has the focus, as Space
// does; a held key presses it once.
class KeyboardButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// True for Alt with a key that would type a character: no box takes it.
bool isAltCharacter(const QKeyEvent &event);

// Words wrap at their boundaries in box, unless text (what is about to be
// put in) holds a run too long for that to stay fast: then the box wraps
// anywhere, so that no text freezes it.
void chooseWrapFor(QPlainTextEdit *box, QStringView text);

// Lets box take only whole texts that accepts allows: a typed key, a paste
// (Ctrl+V, Shift+Insert, the middle button, the context menu) or a drop
// that would leave any other text is refused whole and changes nothing, not
// even the undo history. The rule holds the length too, and box has no
// limit of its own: a limit would cut a long paste short instead of refusing
// it. Text the program puts in stays as it is.
void takeOnly(QLineEdit *box, bool (*accepts)(QStringView));

// Keeps a box with a length limit from holding half a character: where Qt
// cuts a text at the limit (counted in UTF-16 units) inside a character
// outside the basic plane, an emoji, the half left goes too, so that no file
// gets a '?' for it. Text the program puts in is cut the same way.
void keepCharactersWhole(QLineEdit *box);

// Makes a list one row high work as a spin box: the row it shows is the
// row picked. An empty first row, which cannot be selected and which a
// screen reader calls noneName, stands for nothing picked and shows until
// the first pick. The scroll bar (its arrows, its track, its handle), Up,
// Down, Page Up, Page Down, Home, End and the wheel (one row a notch) show
// the row before or after and pick it; a row picked by the mouse or by
// typing its first letters is shown.
void pickTheShownRow(QListWidget *list, const QString &noneName);

// Puts a text into a box the way a program fills a box: shown from its first
// character, not scrolled to its end.
void fillFromStart(QLineEdit *box, const QString &text);

// Empties every text box below root.
void clearTextBoxes(QWidget *root);

// Tab order as the layout tables give it, first to last.
void setTabOrderChain(std::initializer_list<QWidget *> widgets);

// Routes pointer movements over widget (over an item view's viewport for an
// item view) to filter's eventFilter, without a button held.
void watchPointer(QWidget *widget, QObject *filter);

// Shows widget's own tooltip for a tooltip event that arrived at one of its
// parts (an item view's viewport asks its items, which have none); hides any
// tooltip when widget's tooltip is empty. Returns true: the event is handled.
bool showOwnToolTip(QWidget *widget, QEvent *event);

}  // namespace velmora::look
