#pragma once

#include "toolkit/Screen.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

namespace velmora::test {

// What a reader of a failure needs to find the control.
inline QString nameOf(const QWidget *w)
{
    if (auto *l = qobject_cast<const QLabel *>(w))
        return QStringLiteral("label \"%1\"").arg(l->text());
    if (auto *b = qobject_cast<const QAbstractButton *>(w))
        return QStringLiteral("button \"%1\"").arg(b->text());
    if (!w->accessibleName().isEmpty())
        return w->accessibleName();
    return QString::fromLatin1(w->metaObject()->className());
}

// Holds a screen to what every layout table promises, whatever the numbers:
// a window of fixed size; every control inside the client area; no two
// controls overlapping (a label stands beside its box, not over it); every
// caption whole in the font actually used, and a line of text fitting every
// text box.
inline void checkLayoutInvariants(const Screen *screen)
{
    const QWidget *client = screen->client();
    QCOMPARE(screen->minimumSize(), screen->maximumSize());
    QVERIFY(screen->rect().contains(client->geometry()));

    QList<const QWidget *> controls;
    for (const QObject *child : client->children()) {
        auto *w = qobject_cast<const QWidget *>(child);
        if (w && !w->isHidden())
            controls << w;
    }
    for (const QWidget *w : controls) {
        const QString name = nameOf(w);
        const QFontMetrics fm(w->font());
        QVERIFY2(client->rect().contains(w->geometry()), qPrintable(name + " leaves the client area"));
        if (auto *l = qobject_cast<const QLabel *>(w)) {
            const int needed = l->wordWrap() ? l->heightForWidth(l->width()) : l->sizeHint().height();
            QVERIFY2(l->height() >= needed, qPrintable(name + " is cut off at the bottom"));
            if (!l->wordWrap())
                QVERIFY2(l->width() >= fm.horizontalAdvance(l->text()), qPrintable(name + " is cut off"));
        } else if (auto *b = qobject_cast<const QAbstractButton *>(w)) {
            // Room for the caption and the button's own frame on each side.
            QVERIFY2(fm.horizontalAdvance(b->text()) + 8 <= b->width(), qPrintable(name + " is cut off"));
            QVERIFY2(fm.height() + 4 <= b->height(), qPrintable(name + " is cut off"));
        } else if (qobject_cast<const QLineEdit *>(w) || qobject_cast<const QPlainTextEdit *>(w)) {
            QVERIFY2(fm.height() <= w->contentsRect().height(),
                     qPrintable(name + " cannot show a line of text"));
        }
    }
    for (int i = 0; i < controls.size(); ++i) {
        for (int j = i + 1; j < controls.size(); ++j) {
            QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                     qPrintable(nameOf(controls[i]) + " overlaps " + nameOf(controls[j])));
        }
    }
}

}  // namespace velmora::test
