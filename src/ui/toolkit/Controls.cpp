#include "ui/toolkit/Controls.h"

#include "ui/toolkit/Input.h"
#include "ui/toolkit/Twips.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionFrame>
#include <QStyledItemDelegate>

#include <algorithm>

namespace velmora::look {

namespace {

// Draws the two lines of an etched separator across its own rectangle.
class EtchedLine : public QWidget {
public:
    EtchedLine(QWidget *parent, Qt::Orientation orientation, int gap)
        : QWidget(parent), m_orientation(orientation), m_gap(gap)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QColor shadow(128, 128, 128);
        const QColor light(255, 255, 255);
        if (m_orientation == Qt::Horizontal) {
            p.setPen(shadow);
            p.drawLine(0, 0, width() - 1, 0);
            p.setPen(light);
            p.drawLine(0, m_gap, width() - 1, m_gap);
        } else {
            p.setPen(shadow);
            p.drawLine(0, 0, 0, height() - 1);
            p.setPen(light);
            p.drawLine(m_gap, 0, m_gap, height() - 1);
        }
    }

private:
    Qt::Orientation m_orientation;
    int m_gap;
};

// The frame of its parent box, drawn over the box's own parts. It follows
// the box's size and stays the topmost of its parts.
class FrameOnTop : public QWidget {
public:
    explicit FrameOnTop(QAbstractScrollArea *box) : QWidget(box), m_box(box)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        box->installEventFilter(this);
        setGeometry(box->rect());
        raise();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_box && (event->type() == QEvent::Resize || event->type() == QEvent::Show)) {
            setGeometry(m_box->rect());
            raise();
        }
        return false;
    }

    void paintEvent(QPaintEvent *) override
    {
        // As QFrame draws it: the style's frame of the box's shape, its
        // state (focus, enabled) taken from the box.
        QStyleOptionFrame option;
        option.initFrom(m_box);
        option.rect = rect();
        option.frameShape = m_box->frameShape();
        option.lineWidth = m_box->lineWidth();
        option.midLineWidth = m_box->midLineWidth();
        if (m_box->frameShadow() == QFrame::Sunken)
            option.state |= QStyle::State_Sunken;
        else if (m_box->frameShadow() == QFrame::Raised)
            option.state |= QStyle::State_Raised;
        QPainter painter(this);
        m_box->style()->drawPrimitive(QStyle::PE_Frame, &option, &painter, m_box);
    }

private:
    QAbstractScrollArea *m_box;
};

// Draws a list's selected row in the active colours only while the list
// has the focus: in the other list of a screen it shows in the inactive
// colours, so the list that the keys act on is always plain to see.
class FocusShownDelegate : public QStyledItemDelegate {
public:
    explicit FocusShownDelegate(QListWidget *list) : QStyledItemDelegate(list), m_list(list)
    {
        list->installEventFilter(this);
        QPalette palette = list->palette();
        palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Button).darker(115));
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText, palette.color(QPalette::Active, QPalette::Text));
        list->setPalette(palette);
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!m_list->hasFocus())
            option->state &= ~QStyle::State_Active;
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_list && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
            m_list->viewport()->update();
        return false;  // the lists edit no row: no editor's events come here
    }

private:
    QListWidget *m_list;
};

}  // namespace

QLabel *label(QWidget *parent, const QString &caption, int left, int top)
{
    auto *l = new QLabel(caption, parent);
    l->move(twipsPoint(left, top));
    l->adjustSize();
    return l;
}

QLabel *heading(QWidget *parent, const QString &caption, int left, int top, const QColor &colour,
                bool bold)
{
    auto *l = new QLabel(caption, parent);
    QFont f = l->font();
    f.setBold(bold);
    l->setFont(f);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, colour);
    l->setPalette(pal);
    l->move(twipsPoint(left, top));
    l->adjustSize();
    return l;
}

QLineEdit *lineBox(QWidget *parent, int left, int top, int width, int height, int maxLength)
{
    auto *box = new SingleLineBox(parent);
    box->setGeometry(twipsRect(left, top, width, height));
    if (maxLength > 0) {
        box->setMaxLength(maxLength);
        keepCharactersWhole(box);
    }
    return box;
}

QPushButton *button(QWidget *parent, const QString &caption, int left, int top, int width,
                    int height)
{
    auto *b = new KeyboardButton(caption, parent);
    b->setGeometry(twipsRect(left, top, width, height));
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QListWidget *listBox(QWidget *parent, int left, int top, int width, int height)
{
    auto *list = new QListWidget(parent);
    list->setGeometry(twipsRect(left, top, width, height));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    list->setItemDelegate(new FocusShownDelegate(list));
    keepFrameOnTop(list);
    return list;
}

void keepFrameOnTop(QAbstractScrollArea *box)
{
    new FrameOnTop(box);
}

void nameBy(QLabel *label, QWidget *control)
{
    // The buddy ties the two for a screen reader (the label "labels" the
    // control); Qt would announce the caption with its colon, so the name
    // is the caption as read aloud: "Name", not "Name:".
    label->setBuddy(control);
    QString name = label->text().trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    control->setAccessibleName(name.trimmed());
}

void showOneRowAtATime(QListWidget *list)
{
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const int rowHeight = list->height() - 2 * list->frameWidth();
    for (int row = 0; row < list->count(); ++row)
        list->item(row)->setSizeHint(QSize(0, rowHeight));
}

void horizontalSeparator(QWidget *parent, int fromX, int toX, int y1, int y2)
{
    const int gap = std::max(1, px(y2) - px(y1));
    auto *line = new EtchedLine(parent, Qt::Horizontal, gap);
    line->setGeometry(px(fromX), px(y1), px(toX) - px(fromX) + 1, gap + 1);
}

void verticalSeparator(QWidget *parent, int x1, int x2, int fromY, int toY)
{
    const int gap = std::max(1, px(x2) - px(x1));
    auto *line = new EtchedLine(parent, Qt::Vertical, gap);
    line->setGeometry(px(x1), px(fromY), gap + 1, px(toY) - px(fromY) + 1);
}

}  // namespace velmora::look
