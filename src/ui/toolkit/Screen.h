#pragma once

#include <QWidget>

class QMenuBar;

namespace velmora {

// A wizard or tool screen: one window for the whole run, created on its first
// showing and afterwards only hidden and shown again. The frame runs
// load once, before the first showing, and activate at every
// showing. Controls live in client(), where the twips of the layout apply.
class Screen : public QWidget {
    Q_OBJECT
public:
    Screen(const QString &caption, int clientWidthTwips, int clientHeightTwips);

    virtual void load() {}
    virtual void activate() {}

    QWidget *client() const { return m_client; }

    // From now on a close request closes the window: the program is ending.
    void allowClose() { m_closing = true; }

protected:
    // A close request from the window manager or Alt+F4 while the program
    // runs. The screens have no close button; each maps the request to one
    // of its own buttons.
    virtual void closeRequested() = 0;
    void closeEvent(QCloseEvent *event) override;

    // Puts a menu bar above the client area; the client area keeps its size.
    void setMenuBar(QMenuBar *menuBar);

private:
    QWidget *m_client;
    bool m_closing = false;
};

}  // namespace velmora
