#include "toolkit/Platform.h"

#include "files/FilePath.h"

namespace velmora {

std::optional<QString> askForFile(Platform &platform, QWidget *owner, FileDialog &dialog,
                                  FileDialogKind kind, const QString &title,
                                  const QString &filter)
{
    dialog.title = title;
    dialog.filter = filter;
    dialog.initialFolder = dialogStartFolder(platform.applicationFolder(), platform.documentsFolder());
    return kind == FileDialogKind::Save ? platform.saveFileDialog(owner, dialog)
                                        : platform.openFileDialog(owner, dialog);
}

}  // namespace velmora
