#include "ui/toolkit/Input.h"

#include "core/text/LineBreaks.h"
#include "core/text/TextShape.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Twips.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextDocument>
#include <QToolTip>

namespace velmora::look {

bool isAltCharacter(const QKeyEvent &event)
{
    return (event.modifiers() & Qt::AltModifier) && !event.text().isEmpty() && event.text().at(0).isPrint();
}

void SingleLineBox::keyPressEvent(QKeyEvent *event)
{
    if (isAltCharacter(*event)) {
        event->ignore();
        return;
    }
    if (event == QKeySequence::Paste && !isReadOnly()) {
        pasteAsOneLine(QClipboard::Clipboard);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void SingleLineBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::MiddleButton && !isReadOnly()
        && QGuiApplication::clipboard()->supportsSelection()) {
        deselect();
        pasteAsOneLine(QClipboard::Selection);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void SingleLineBox::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // Qt names the action "edit-paste" from 6.5 on; before, only its
    // text ends in the paste shortcut.
    const QString shortcut = QLatin1Char('\t') + QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
    for (QAction *action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-paste") || action->text().endsWith(shortcut)) {
            action->disconnect();
            connect(action, &QAction::triggered, this, [this] { pasteAsOneLine(QClipboard::Clipboard); });
            break;
        }
    }
    menu->popup(event->globalPos());
}

void SingleLineBox::dropEvent(QDropEvent *event)
{
    if (!event->mimeData()->hasText()) {
        QLineEdit::dropEvent(event);
        return;
    }
    QMimeData oneLine;
    oneLine.setText(toOneLine(event->mimeData()->text()));
    QDropEvent copy(event->position(), event->possibleActions(), &oneLine, event->buttons(),
                    event->modifiers(), event->type());
    copy.setDropAction(event->dropAction());
    QLineEdit::dropEvent(&copy);
    event->setDropAction(copy.dropAction());
    event->setAccepted(copy.isAccepted());
}

void SingleLineBox::pasteAsOneLine(QClipboard::Mode mode)
{
    const QString text = QGuiApplication::clipboard()->text(mode);
    if (!text.isEmpty() || hasSelectedText())
        insert(toOneLine(text));
}

MultiLineBox::MultiLineBox(QWidget *parent, int left, int top, int width, int height)
    : QPlainTextEdit(parent)
{
    setGeometry(twipsRect(left, top, width, height));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(true);
    // One-line-high boxes need every pixel for their line of text.
    document()->setDocumentMargin(px(height) < 30 ? 1 : 3);
    connect(document(), &QTextDocument::contentsChanged, this, [this] { m_textKnown = false; });
    keepFrameOnTop(this);
}

QString MultiLineBox::text() const
{
    if (m_textKnown)
        return m_text;
    // toRawText keeps non-breaking spaces; blocks are split by U+2029 and
    // soft breaks are U+2028.
    QString raw = document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    raw.replace(QChar::LineSeparator, QLatin1Char('\n'));
    m_text = toCrLf(raw);
    m_textKnown = true;
    return m_text;
}

void MultiLineBox::setText(const QString &text)
{
    const QString lines = toLf(text);
    chooseWrapFor(this, lines);
    setPlainText(lines);
}

void MultiLineBox::keyPressEvent(QKeyEvent *event)
{
    if (isAltCharacter(*event)) {
        event->ignore();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void MultiLineBox::insertFromMimeData(const QMimeData *source)
{
    if (source->hasText() && wordWrapMode() != QTextOption::WrapAnywhere)
        chooseWrapFor(this, source->text());
    QPlainTextEdit::insertFromMimeData(source);
}

void KeyboardButton::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (!event->isAutoRepeat())
            click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void chooseWrapFor(QPlainTextEdit *box, QStringView text)
{
    box->setWordWrapMode(shapeOfText(text).longestRun > maxWordWrapRunChars
                             ? QTextOption::WrapAnywhere
                             : QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void fillFromStart(QLineEdit *box, const QString &text)
{
    box->setText(text);
    box->setCursorPosition(0);
}

void clearTextBoxes(QWidget *root)
{
    for (QLineEdit *box : root->findChildren<QLineEdit *>())
        box->clear();
    for (QPlainTextEdit *box : root->findChildren<QPlainTextEdit *>())
        box->clear();
}

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

}  // namespace velmora::look
