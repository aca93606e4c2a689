#include "ui/toolkit/Platform.h"

#include "core/text/FilePath.h"

#include <QWidget>

namespace velmora {

KeptDialog::~KeptDialog()
{
    delete m_window.data();
}

QWidget *KeptDialog::window() const
{
    return m_window.data();
}

void KeptDialog::keep(QWidget *window)
{
    if (m_window != window)
        delete m_window.data();
    m_window = window;
}

std::optional<QString> askForFile(Platform &platform, QWidget *owner, FileDialog &dialog,
                                  FileDialogKind kind, const QString &title,
                                  const QStringList &filters)
{
    dialog.title = title;
    dialog.filters = filters;
    dialog.initialFolder = dialogStartFolder(platform.applicationFolder(), platform.documentsFolder());
    return kind == FileDialogKind::Save ? platform.saveFileDialog(owner, dialog)
                                        : platform.openFileDialog(owner, dialog);
}

}  // namespace velmora
