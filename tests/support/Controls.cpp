#include "Controls.h"

#include <QAccessible>
#include <QtGlobal>

namespace velmora::test {

namespace {

QString withoutAccessKey(QString text)
{
    return text.remove(QLatin1Char('&'));
}

}  // namespace

QString spokenName(QWidget *widget)
{
    QAccessibleInterface *spoken = QAccessible::queryAccessibleInterface(widget);
    return spoken ? spoken->text(QAccessible::Name) : QString();
}

QWidget *findControl(QWidget *screen, const QString &name, const char *type,
                     bool (*isType)(QWidget *))
{
    QList<QWidget *> found;
    for (QWidget *w : screen->findChildren<QWidget *>()) {
        if (isType(w) && spokenName(w) == name)
            found << w;
    }
    if (found.size() != 1)
        qFatal("%s: %lld controls of type %s named \"%s\"", qPrintable(screen->windowTitle()),
               qlonglong(found.size()), type, qPrintable(name));
    return found.first();
}

QMenu *menuOf(QWidget *window, const QString &title)
{
    if (auto *bar = window->findChild<QMenuBar *>()) {
        for (QAction *entry : bar->actions()) {
            if (entry->menu() && withoutAccessKey(entry->text()) == title)
                return entry->menu();
        }
    }
    qFatal("%s: no menu \"%s\"", qPrintable(window->windowTitle()), qPrintable(title));
}

QAction *entryOf(QMenu *menu, const QString &text)
{
    for (QAction *entry : menu->actions()) {
        if (withoutAccessKey(entry->text()) == text)
            return entry;
    }
    qFatal("menu %s: no entry \"%s\"", qPrintable(menu->title()), qPrintable(text));
}

}  // namespace velmora::test
