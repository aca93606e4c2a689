#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace velmora {

// Message box style values: buttons + icon + 4096 for "stays above everything".
namespace MessageStyle {
constexpr int YesNo = 4;
constexpr int Question = 32;
constexpr int Exclamation = 48;
constexpr int SystemModal = 4096;
constexpr int YesNoQuestion = YesNo + Question + SystemModal;  // 4132
constexpr int OkExclamation = Exclamation + SystemModal;       // 4144
}  // namespace MessageStyle

enum class MessageAnswer { Ok, Yes, No };

// One file dialog object, owned by one screen for the whole run. The screen
// sets title, filter and initial folder before each use; the platform puts
// the chosen path into fileName, which is offered again next time.
struct FileDialog {
    QString title;
    QString filter;  // "Text (*.txt)"
    QString initialFolder;
    QString fileName;
};

// Everything a screen needs from the desktop that a test must be able to
// answer: message boxes, file dialogs, file existence, the application
// folder and the help viewer.
class Platform {
public:
    virtual ~Platform() = default;

    // text may hold CR LF; each starts a new line. Returns Yes/No for a
    // Yes/No box, Ok for an OK box however it was closed.
    virtual MessageAnswer messageBox(QWidget *owner, const QString &text, const QString &title,
                                     int style) = 0;
    // The full path chosen or typed, or nothing on cancel. No suffix is
    // added and overwriting is not confirmed.
    virtual std::optional<QString> saveFileDialog(QWidget *owner, FileDialog &dialog) = 0;
    // Accepts the name of a file that does not exist.
    virtual std::optional<QString> openFileDialog(QWidget *owner, FileDialog &dialog) = 0;
    virtual bool fileExists(const QString &path) = 0;
    // Folder of the program file: no trailing separator except at a root.
    virtual QString applicationFolder() const = 0;
    // Shows the contents page of the help file in a window owned by owner.
    virtual void showHelpContents(QWidget *owner, const QString &helpFilePath) = 0;
};

}  // namespace velmora
