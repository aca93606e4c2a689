#include "platform/QtPlatform.h"

#include "help/HelpWindow.h"
#include "platform/LineBreaks.h"
#include "presets/PresetsFile.h"

#include <QCoreApplication>
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

QtPlatform::QtPlatform() = default;

QtPlatform::~QtPlatform()
{
    delete m_help.data();
}

MessageAnswer QtPlatform::messageBox(QWidget *owner, const QString &text, const QString &title,
                                     int style)
{
    const bool yesNo = (style & 0xF) == MessageStyle::YesNo;
    const int icon = style & 0xF0;
    QMessageBox box(owner);
    box.setWindowTitle(title);
    box.setText(toLf(text));
    box.setIcon(icon == MessageStyle::Question      ? QMessageBox::Question
                : icon == MessageStyle::Exclamation ? QMessageBox::Warning
                                                    : QMessageBox::NoIcon);
    if (yesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }
    // The closest Qt comes to system-modal: the whole program waits, and the
    // box stays above every window until answered.
    box.setWindowModality(Qt::ApplicationModal);
    if (style & MessageStyle::SystemModal)
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

bool QtPlatform::fileExists(const QString &path)
{
    return FileExists(path);
}

QString QtPlatform::applicationFolder() const
{
    return QCoreApplication::applicationDirPath();
}

void QtPlatform::showHelpContents(QWidget *owner, const QString &helpFilePath)
{
    if (!m_help || m_help->parentWidget() != owner) {
        delete m_help.data();
        m_help = new HelpWindow(owner);
    }
    m_help->showContents(helpFilePath);
}

}  // namespace velmora
