#include "ui/toolkit/QtPlatform.h"

#include "core/text/FilePath.h"
#include "core/text/LineBreaks.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace velmora {

namespace {

// The dialog kept in dialog, made on its first use. Making a new one for
// every use would cost memory each time: Qt's file dialog does not give
// back all of it.
QFileDialog *keptFileDialog(QWidget *owner, FileDialog &dialog)
{
    auto *box = qobject_cast<QFileDialog *>(dialog.kept.window());
    if (!box) {
        box = new QFileDialog(owner);
        // Both dialogs take the name of a file that does not exist yet;
        // nothing is appended to a typed name and overwriting is not
        // questioned.
        box->setFileMode(QFileDialog::AnyFile);
        box->setOption(QFileDialog::DontConfirmOverwrite, true);
        dialog.kept.keep(box);
    } else if (box->parentWidget() != owner) {
        box->setParent(owner, box->windowFlags());
    }
    return box;
}

// Runs the kept dialog: the path chosen, or nothing on cancel.
std::optional<QString> runKeptDialog(QFileDialog *box)
{
    const int result = box->exec();
    // A list of completions still open when the dialog closes would stay on
    // the screen, over the window below, and take its keys.
    for (QCompleter *completer : box->findChildren<QCompleter *>()) {
        if (QAbstractItemView *list = completer->popup())
            list->hide();
    }
    const QStringList files = box->selectedFiles();
    if (result != QDialog::Accepted || files.isEmpty() || files.first().isEmpty())
        return std::nullopt;
    return files.first();
}

std::optional<QString> runFileDialog(QWidget *owner, FileDialog &dialog,
                                     QFileDialog::AcceptMode mode)
{
    QFileDialog *box = keptFileDialog(owner, dialog);
    box->setAcceptMode(mode);
    box->setWindowTitle(dialog.title);
    box->setNameFilters(dialog.filters);
    if (!dialog.selectedFilter.isEmpty())
        box->selectNameFilter(dialog.selectedFilter);
    // The name last chosen is offered again, in its own folder; a name typed
    // and then cancelled is not. The dialog goes straight to that folder:
    // each change of folder adds to its back-and-forth history for good.
    auto *name = box->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    if (dialog.fileName.isEmpty()) {
        box->setDirectory(dialog.initialFolder);
        if (name)
            name->clear();
    } else {
        box->setDirectory(QFileInfo(dialog.fileName).absolutePath());
        box->selectFile(dialog.fileName);
    }
    // As in a new dialog, the name box has the focus and its text is
    // selected, so that what the user types replaces the offered name.
    if (name) {
        name->setFocus(Qt::OtherFocusReason);
        name->selectAll();
    }
    const std::optional<QString> chosen = runKeptDialog(box);
    if (!chosen)
        return std::nullopt;
    dialog.fileName = *chosen;
    dialog.selectedFilter = box->selectedNameFilter();
    return chosen;
}

}  // namespace

MessageAnswer QtPlatform::messageBox(QWidget *owner, const QString &text, const QString &title,
                                     const MessageKind &kind)
{
    const bool yesNo = kind.buttons == MessageKind::Buttons::YesNo;
    QMessageBox box(owner);
    box.setWindowTitle(title);
    box.setText(toLf(text));
    box.setIcon(kind.icon == MessageKind::Icon::Question      ? QMessageBox::Question
                : kind.icon == MessageKind::Icon::Exclamation ? QMessageBox::Warning
                                                              : QMessageBox::NoIcon);
    if (yesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(kind.defaultAnswer == MessageAnswer::No ? QMessageBox::No
                                                                     : QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }
    // The closest Qt comes to system-modal: the whole program waits, and the
    // box stays above every window until answered.
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    const int answer = box.exec();
    if (!yesNo)
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

std::optional<QString> QtPlatform::folderDialog(QWidget *owner, FileDialog &dialog)
{
    QFileDialog *box = keptFileDialog(owner, dialog);
    box->setFileMode(QFileDialog::Directory);
    box->setOption(QFileDialog::ShowDirsOnly, true);
    box->setAcceptMode(QFileDialog::AcceptOpen);
    box->setWindowTitle(dialog.title);
    // Opened inside the folder last chosen, so that a sibling is one step away.
    box->setDirectory(dialog.fileName.isEmpty() ? dialog.initialFolder : dialog.fileName);
    const std::optional<QString> chosen = runKeptDialog(box);
    if (chosen)
        dialog.fileName = *chosen;
    return chosen;
}

QString QtPlatform::applicationFolder() const
{
    // Qt's own applicationDirPath() comes back empty for a folder whose name
    // is not valid UTF-8.
    return programFolder();
}

// The user's folders follow one home rule, core/text/FilePath's homeFolder.
// Not QStandardPaths, nor QDir::homePath: Qt 6.4 takes a relative
// XDG_CONFIG_HOME or HOME, and any HOME at all, which as root after sudo -E
// is another user's home.
QString QtPlatform::userConfigFolder() const
{
    return velmora::userConfigFolder();
}

QString QtPlatform::userStateFolder() const
{
    return velmora::userStateFolder();
}

QString QtPlatform::documentsFolder() const
{
    return userDocumentsFolder();
}

void QtPlatform::showHelpContents(HelpViewer &window, const QString &helpFilePath)
{
    window.showContents(helpFilePath);
}

}  // namespace velmora
