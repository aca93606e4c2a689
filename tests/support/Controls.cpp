#include "Controls.h"

#include <QAccessible>

namespace velmora::test {

QString spokenName(QWidget *widget)
{
    QAccessibleInterface *spoken = QAccessible::queryAccessibleInterface(widget);
    return spoken ? spoken->text(QAccessible::Name) : QString();
}

QWidget *findControl(QWidget *screen, const QString &name, const char *type,
                     bool (*isType)(QWidget *))
{
    QList<QWidget *> found = screen->findChildren<QWidget *>();
    found.removeIf([&](QWidget *w) { return !isType(w) || spokenName(w) != name; });
    if (found.size() != 1)
        qFatal("%s: %lld controls of type %s named \"%s\"", qPrintable(screen->windowTitle()),
               qlonglong(found.size()), type, qPrintable(name));
    return found.first();
}

QMenu *menuOf(QWidget *window, const QString &title)
{
    if (auto *bar = window->findChild<QMenuBar *>()) {
        for (QAction *entry : bar->actions()) {
            if (entry->menu() && entry->text().remove(u'&') == title)
                return entry->menu();
        }
    }
    qFatal("%s: no menu \"%s\"", qPrintable(window->windowTitle()), qPrintable(title));
}

QAction *entryOf(QMenu *menu, const QString &text)
{
    for (QAction *entry : menu->actions()) {
        if (entry->text().remove(u'&') == text)
            return entry;
    }
    qFatal("menu %s: no entry \"%s\"", qPrintable(menu->title()), qPrintable(text));
}

}  // namespace velmora::test
