#pragma once

#include "FileTools.h"
#include "ScriptedPlatform.h"
#include "app/Navigator.h"
#include "app/frmSplash.h"
#include "toolkit/Look.h"
#include "toolkit/TextBoxes.h"
#include "toolkit/Screen.h"
#include "toolkit/Twips.h"

#include <QAction>
#include <QByteArray>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolTip>
#include <QFile>
#include <QListWidget>
#include <QMetaObject>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace velmora::test {

inline const QByteArray emptyPresets = QByteArrayLiteral("\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
// The presets of the walk-through readme (tests/data/readme_walkthrough.txt).
inline const QByteArray acmePresets = QByteArrayLiteral(
    "\"Acme Tools\",\"https://acme.example\",\"English, German\",\"acme.dll\",\"Ann Author\","
    "\"ann@acme.example\"\r\n");

// Delivers one tick of the splash's timer, as the timer would.
class SplashClock {
public:
    static void tick(frmSplash *splash) { splash->tmrTaskTimer_Timer(); }
};

// A whole program on the scripted platform, with its application folder in a
// fresh temporary folder that holds presets.txt.
class Harness {
public:
    explicit Harness(const QByteArray &presets = emptyPresets)
        : platform(dir.path()), navigator(std::make_unique<Navigator>(platform))
    {
        writePresets(presets);
    }

    ~Harness() { navigator.reset(); }

    QString folder() const { return dir.path(); }
    QString path(const QString &name) const { return dir.filePath(name); }
    QString presetsPath() const { return path(QStringLiteral("presets.txt")); }

    void writePresets(const QByteArray &bytes) const { QVERIFY(writeFile(presetsPath(), bytes)); }

    AppContext &ctx() { return navigator->context(); }

    void tick(frmSplash *splash) const { SplashClock::tick(splash); }

    // Starts the program and lets the splash's twenty ticks run at once.
    template <class Main>
    Main *startToMain()
    {
        navigator->start();
        for (int i = 0; i < 20; ++i)
            tick(navigator->splash());
        auto *main = static_cast<Main *>(navigator->screen(ScreenId::Main));
        if (main)
            (void)QTest::qWaitForWindowExposed(main);
        return main;
    }

    template <class T>
    T *screen(ScreenId id) const
    {
        return static_cast<T *>(navigator->screen(id));
    }

    QTemporaryDir dir;
    ScriptedPlatform platform;
    std::unique_ptr<Navigator> navigator;
};

// Counts the events of one type that reach an object, and whether the last
// one was accepted.
class EventCounter : public QObject {
public:
    EventCounter(QObject *target, QEvent::Type type) : m_type(type) { target->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type)
            ++count;
        return false;
    }

private:
    QEvent::Type m_type;
};

inline QStringList entries(const QListWidget *list)
{
    QStringList out;
    for (int row = 0; row < list->count(); ++row)
        out << list->item(row)->text();
    return out;
}

// A person's double-click on a row: it is scrolled into view, clicked, then
// double-clicked at the same point.
inline void doubleClickRow(QListWidget *list, int row)
{
    QListWidgetItem *item = list->item(row);
    list->scrollToItem(item);
    const QPoint at = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

inline void clickRow(QListWidget *list, int row)
{
    QListWidgetItem *item = list->item(row);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

inline int rowOf(const QListWidget *list, const QString &text)
{
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->text() == text)
            return row;
    return -1;
}

}  // namespace velmora::test
