#include "toolkit/QtPlatform.h"

#include "files/FilePath.h"
#include "files/LineBreaks.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QFileDialog>
#include <QMessageBox>

namespace velmora {

namespace {

std::optional<QString> runFileDialog(QWidget *owner, FileDialog &dialog,
                                     QFileDialog::AcceptMode mode)
{
    QFileDialog box(owner, dialog.title, dialog.initialFolder, dialog.filter);
    box.setAcceptMode(mode);
    // Both dialogs take the name of a file that does not exist yet; nothing
    // is appended to a typed name and overwriting is not questioned.
    box.setFileMode(QFileDialog::AnyFile);
    box.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!dialog.fileName.isEmpty())
        box.selectFile(dialog.fileName);
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = box.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty())
        return std::nullopt;
    dialog.fileName = files.first();
    return files.first();
}

}  // namespace

MessageAnswer QtPlatform::messageBox(QWidget *owner, const QString &text, const QString &title,
                                     int style)
{
    const MessageStyle::Parts parts = MessageStyle::decode(style);
    QMessageBox box(owner);
    box.setWindowTitle(title);
    box.setText(toLf(text));
    box.setIcon(parts.icon == MessageStyle::Icon::Question      ? QMessageBox::Question
                : parts.icon == MessageStyle::Icon::Exclamation ? QMessageBox::Warning
                                                                : QMessageBox::NoIcon);
    if (parts.yesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }
    // The closest Qt comes to system-modal: the whole program waits, and the
    // box stays above every window until answered.
    box.setWindowModality(Qt::ApplicationModal);
    if (parts.systemModal)
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    const int answer = box.exec();
    if (!parts.yesNo)
        return MessageAnswer::Ok;
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

std::optional<QString> QtPlatform::saveFileDialog(QWidget *owner, FileDialog &dialog)
{
    return runFileDialog(owner, dialog, QFileDialog::AcceptSave);
}

std::optional<QString> QtPlatform::openFileDialog(QWidget *owner, FileDialog &dialog)
{
    return runFileDialog(owner, dialog, QFileDialog::AcceptOpen);
}

QString QtPlatform::applicationFolder() const
{
    // Qt's own applicationDirPath() comes back empty for a folder whose name
    // is not valid UTF-8.
    return programFolder();
}

QString QtPlatform::userConfigFolder() const
{
    // Not QStandardPaths: Qt 6.4 takes a relative XDG_CONFIG_HOME, which
    // would put presets.txt under whatever folder Velmora was started from.
    return fileInFolder(xdgBaseFolder("XDG_CONFIG_HOME", homeFolder(), QStringLiteral(".config")),
                        QStringLiteral("Velmora"));
}

QString QtPlatform::userStateFolder() const
{
    return xdgBaseFolder("XDG_STATE_HOME", QDir::homePath(), QStringLiteral(".local/state"))
           + QStringLiteral("/velmora");
}

QString QtPlatform::documentsFolder() const
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir::isAbsolutePath(documents) && QFileInfo(documents).isDir() ? documents : homeFolder();
}

void QtPlatform::showHelpContents(HelpViewer &window, const QString &helpFilePath)
{
    window.showContents(helpFilePath);
}

}  // namespace velmora
