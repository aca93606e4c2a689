#pragma once

#include "toolkit/Platform.h"

#include <QWidget>

class QTextBrowser;

namespace velmora {

// Shows the help file (an HTML document) in a window owned by the main
// window. Choosing Contents again brings the same window forward.
class HelpWindow : public QWidget, public HelpViewer {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *owner);

    // Loads the file and shows its contents page (the top); when the file
    // cannot be read, the window says so.
    void showContents(const QString &helpFilePath) override;

    QTextBrowser *browser() const { return m_browser; }

private:
    QTextBrowser *m_browser;
};

}  // namespace velmora
