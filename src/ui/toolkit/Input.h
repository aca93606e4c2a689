#pragma once

#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <QStringView>

class QMimeData;

namespace velmora::look {

// A single-line box: whatever the user pastes or drops into it becomes one
// line, each line break a space. Text the program puts in stays as it is.
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

// Words wrap at their boundaries in box, unless text (what is about to be
// put in) holds a run too long for that to stay fast: then the box wraps
// anywhere, so that no text freezes it.
void chooseWrapFor(QPlainTextEdit *box, QStringView text);

// Puts a text into a box the way a program fills a box: shown from its first
// character, not scrolled to its end.
void fillFromStart(QLineEdit *box, const QString &text);

// Empties every text box below root.
void clearTextBoxes(QWidget *root);

}  // namespace velmora::look
