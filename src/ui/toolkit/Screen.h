#pragma once

#include <QPointer>
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

    // The title names the file worked on: "Velmora - README.md"; none: the
    // screen's caption alone.
    void showFileName(const QString &fileName);

    // Makes the window one that the user may resize and maximise, never
    // below its designed size: the controls of grows (which stand in one
    // place, one shown at a time) take every pixel gained; the other
    // controls of the client area keep their distance to its bottom, and
    // those of its right half to its right edge too. Called once the
    // controls are placed.
    void growWithWindow(const QList<QWidget *> &grows);

protected:
    // A close request from the window manager or Alt+F4 while the program
    // runs. The screens have no close button; each maps the request to one
    // of its own buttons.
    virtual void closeRequested() = 0;
    void closeEvent(QCloseEvent *event) override;

    // Puts a menu bar above the client area; the client area keeps its size.
    void setMenuBar(QMenuBar *menuBar);
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *m_client;
    QString m_caption;
    bool m_closing = false;
    // A window that grows: the designed sizes and places, and the control
    // that grows.
    QSize m_designedClient;
    QList<QPair<QPointer<QWidget>, QRect>> m_designedPlaces;
    QList<QPointer<QWidget>> m_grows;
};

}  // namespace velmora
