#pragma once

#include "platform/Platform.h"

#include "help/HelpWindow.h"

#include <QPointer>

namespace velmora {



// The real platform: Qt's message boxes and file dialogs, the file system,
// and the help window.
class QtPlatform : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;

    MessageAnswer messageBox(QWidget *owner, const QString &text, const QString &title,
                             int style) override;
    std::optional<QString> saveFileDialog(QWidget *owner, FileDialog &dialog) override;
    std::optional<QString> openFileDialog(QWidget *owner, FileDialog &dialog) override;
    bool fileExists(const QString &path) override;
    QString applicationFolder() const override;
    void showHelpContents(QWidget *owner, const QString &helpFilePath) override;

    HelpWindow *helpWindow() const { return m_help; }

private:
    QPointer<HelpWindow> m_help;
};

}  // namespace velmora
