#pragma once

#include <QStringList>
#include <QWidget>

class QMenuBar;

namespace velmora {

enum class ScreenId { Main, Program, Author, Preset, View };

// What a screen asks of the program frame: another screen, the end of the
// program, and the main screen's compatible list (which the readme writer
// reads at the moment of writing).
class Navigation {
public:
    virtual ~Navigation() = default;
    // Hides from (if any) and shows the screen to.
    virtual void change(QWidget *from, ScreenId to) = 0;
    // Closes every window of the program, hidden ones included.
    virtual void endProgram() = 0;
    virtual bool isEnding() const = 0;
    virtual QStringList compatibleSystems() const = 0;
};

// A wizard or tool screen: one window for the whole run, created on its first
// showing and afterwards only hidden and shown again. The frame runs
// Form_Load once, before the first showing, and Form_Activate at every
// showing. Controls live in client(), where the twips of the layout apply.
class Screen : public QWidget {
    Q_OBJECT
public:
    Screen(Navigation &navigation, const QString &caption, int clientWidthTwips,
           int clientHeightTwips);

    virtual void Form_Load() {}
    virtual void Form_Activate() {}

    QWidget *client() const { return m_client; }

protected:
    // A close request from the window manager or Alt+F4. The screens have no
    // close button; each maps the request to one of its own buttons.
    virtual void closeRequested() = 0;
    void closeEvent(QCloseEvent *event) override;

    // Puts a menu bar above the client area; the client area keeps its size.
    void setMenuBar(QMenuBar *menuBar);

private:
    Navigation &m_navigation;
    QWidget *m_client;
};

}  // namespace velmora
