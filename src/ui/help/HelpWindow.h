#pragma once

#include "ui/toolkit/Platform.h"

#include <QTextBrowser>
#include <QWidget>

namespace velmora {

// The help window's page view. A help page loads its pictures, style sheets
// and linked pages only from the help file's own folder (see
// readHelpResource); anything else it names is shown as missing, never read.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpBrowser(QWidget *parent);
    void setHelpFolder(const QString &folder) { m_folder = folder; }
    QVariant loadResource(int type, const QUrl &name) override;

private:
    QString m_folder;
};

// Shows the help file (an HTML document) in a window owned by the main
// window. Choosing Contents again brings the same window forward.
class HelpWindow : public QWidget, public HelpViewer {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *owner);

    // Loads the file and shows its contents page (the top); when the file
    // cannot be shown (missing, too large, not a file, unreadable), the
    // window says which.
    void showContents(const QString &helpFilePath) override;

    QTextBrowser *browser() const { return m_browser; }

private:
    HelpBrowser *m_browser;
};

}  // namespace velmora
