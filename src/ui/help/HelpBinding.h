#pragma once

#include "ui/help/HelpWindow.h"

#include <QPointer>
#include <QString>
#include <QWidget>

namespace velmora {

class Platform;

// Binds the help file to the main window once, when the main window loads,
// and opens its contents on request, always in the same help window, which
// the main window owns.
class HelpBinding {
public:
    void bindHelpFile(QWidget *owner, const QString &applicationFolder);
    void showContents(Platform &platform);

    // The window that owns the help window. It is held as the window itself
    // rather than a native handle cut to 32 bits, which could name another
    // window on a 64-bit desktop.
    QWidget *helpOwnerWindow() const { return m_owner; }
    const QString &helpFilePath() const { return m_path; }
    // Null until Contents is first chosen.
    HelpWindow *helpWindow() const { return m_window; }

private:
    QPointer<QWidget> m_owner;
    QString m_path;
    QPointer<HelpWindow> m_window;
};

}  // namespace velmora
