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
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextDocument>
#include <QToolTip>
#include <QValidator>
#include <QWheelEvent>

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
    const QString before = text();
    QLineEdit::dropEvent(&copy);
    if (validator() && text() == before && !oneLine.text().isEmpty()) {
        // Refused by the box's rule: Qt accepts the drop all the same, and
        // a drag that moves text would then delete it at its source.
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
        return;
    }
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

namespace {

class RuleValidator : public QValidator {
public:
    RuleValidator(QObject *parent, bool (*accepts)(QStringView)) : QValidator(parent), m_accepts(accepts) {}

    State validate(QString &input, int &) const override { return m_accepts(input) ? Acceptable : Invalid; }

private:
    bool (*m_accepts)(QStringView);
};

class WholeCharacters : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString &input, int &pos) const override
    {
        for (qsizetype i = input.size() - 1; i >= 0; --i) {
            const QChar c = input[i];
            const bool paired = c.isHighSurrogate() ? i + 1 < input.size() && input[i + 1].isLowSurrogate()
                                : c.isLowSurrogate() ? i > 0 && input[i - 1].isHighSurrogate()
                                                     : true;
            if (!paired) {
                input.remove(i, 1);
                if (pos > i)
                    --pos;
            }
        }
        return Acceptable;
    }
};

// The list's row shown and its pick kept as one: a change of either makes
// the other follow.
class ShownRowPicker : public QObject {
public:
    explicit ShownRowPicker(QListWidget *list) : QObject(list), m_list(list)
    {
        QScrollBar *bar = list->verticalScrollBar();
        connect(bar, &QScrollBar::valueChanged, this, &ShownRowPicker::pickShown);
        connect(list, &QListWidget::itemSelectionChanged, this, &ShownRowPicker::showPicked);
        list->installEventFilter(this);
        list->viewport()->installEventFilter(this);
        bar->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress)
            return keyPressed(static_cast<QKeyEvent *>(event));
        if (event->type() == QEvent::Wheel)
            return wheelTurned(static_cast<QWheelEvent *>(event));
        return false;
    }

private:
    QScrollBar *bar() const { return m_list->verticalScrollBar(); }

    void pickShown()
    {
        const int row = bar()->value();
        const QList<QListWidgetItem *> picked = m_list->selectedItems();
        const int pickedRow = picked.isEmpty() ? 0 : m_list->row(picked.first());
        if (pickedRow != row || m_list->currentRow() != row)
            m_list->setCurrentRow(row, row == 0 ? QItemSelectionModel::Clear : QItemSelectionModel::ClearAndSelect);
    }

    void showPicked()
    {
        const QList<QListWidgetItem *> picked = m_list->selectedItems();
        const int row = picked.isEmpty() ? 0 : m_list->row(picked.first());
        if (row != bar()->value())
            bar()->setValue(row);
    }

    bool keyPressed(QKeyEvent *event)
    {
        QAbstractSlider::SliderAction action;
        switch (event->key()) {
        case Qt::Key_Up: case Qt::Key_PageUp: action = QAbstractSlider::SliderSingleStepSub; break;
        case Qt::Key_Down: case Qt::Key_PageDown: action = QAbstractSlider::SliderSingleStepAdd; break;
        case Qt::Key_Home: action = QAbstractSlider::SliderToMinimum; break;
        case Qt::Key_End: action = QAbstractSlider::SliderToMaximum; break;
        default: return false;
        }
        bar()->triggerAction(action);
        return true;
    }

    // One row a notch, whatever the desktop's lines per notch; a touchpad's
    // small steps add up to notches.
    bool wheelTurned(QWheelEvent *event)
    {
        const QPoint delta = event->angleDelta();
        m_wheelRest += delta.y() != 0 ? delta.y() : delta.x();
        for (; m_wheelRest >= 120; m_wheelRest -= 120)
            bar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        for (; m_wheelRest <= -120; m_wheelRest += 120)
            bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        event->accept();
        return true;
    }

    QListWidget *m_list;
    int m_wheelRest = 0;
};

}  // namespace

void takeOnly(QLineEdit *box, bool (*accepts)(QStringView))
{
    box->setValidator(new RuleValidator(box, accepts));
}

void keepCharactersWhole(QLineEdit *box)
{
    box->setValidator(new WholeCharacters(box));
}

void pickTheShownRow(QListWidget *list, const QString &noneName)
{
    auto *none = new QListWidgetItem;
    none->setFlags(Qt::ItemIsEnabled);
    none->setData(Qt::AccessibleTextRole, noneName);
    list->insertItem(0, none);
    showOneRowAtATime(list);
    new ShownRowPicker(list);
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
