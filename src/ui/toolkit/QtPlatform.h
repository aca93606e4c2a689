#pragma once

#include "ui/toolkit/Platform.h"

namespace velmora {

// The real platform: Qt's message boxes and file dialogs, the program's
// folder, and the help window it is given.
class QtPlatform : public Platform {
public:
    MessageAnswer messageBox(QWidget *owner, const QString &text, const QString &title,
                             const MessageKind &kind) override;
    std::optional<QString> saveFileDialog(QWidget *owner, FileDialog &dialog) override;
    std::optional<QString> openFileDialog(QWidget *owner, FileDialog &dialog) override;
    std::optional<QString> folderDialog(QWidget *owner, FileDialog &dialog) override;
    QString applicationFolder() const override;
    QString userConfigFolder() const override;
    QString userStateFolder() const override;
    QString documentsFolder() const override;
    void showHelpContents(HelpViewer &window, const QString &helpFilePath) override;
};

}  // namespace velmora
