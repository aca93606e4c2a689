#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace velmora {

enum class MessageAnswer { Ok, Yes, No };

// What a message box offers: its buttons, its icon and the button that Return
// presses. Every box stays above every window of the program until it is
// answered.
struct MessageKind {
    enum class Buttons { Ok, YesNo };
    enum class Icon { None, Question, Exclamation };

    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    MessageAnswer defaultAnswer = MessageAnswer::Ok;

    bool operator==(const MessageKind &) const = default;
};

// A question answered Yes or No, Yes the default.
inline constexpr MessageKind yesNoQuestion{MessageKind::Buttons::YesNo, MessageKind::Icon::Question,
                                           MessageAnswer::Yes};
// A question whose Yes would lose something, No the default.
inline constexpr MessageKind yesNoNoByDefault{MessageKind::Buttons::YesNo, MessageKind::Icon::Question,
                                              MessageAnswer::No};
// A warning with one OK button.
inline constexpr MessageKind okWarning{MessageKind::Buttons::Ok, MessageKind::Icon::Exclamation,
                                       MessageAnswer::Ok};

// The platform's own dialog window behind a FileDialog: made on its first
// use and then kept, so that one dialog serves the whole run. It goes with
// the FileDialog, unless the window it belongs to took it along first.
class KeptDialog {
public:
    KeptDialog() = default;
    KeptDialog(const KeptDialog &) = delete;
    KeptDialog &operator=(const KeptDialog &) = delete;
    ~KeptDialog();

    QWidget *window() const;
    void keep(QWidget *window);

private:
    QPointer<QWidget> m_window;
};

// One file dialog object, owned by one screen for the whole run. The screen
// sets title, filters and initial folder before each use; the platform puts
// the chosen path into fileName and the chosen filter into selectedFilter,
// which are offered again next time.
struct FileDialog {
    QString title;
    QStringList filters;  // "Text (*.txt)", first offered first
    QString initialFolder;
    QString fileName;
    QString selectedFilter = {};
    KeptDialog kept = {};
};

// A window that shows the contents page of a help file.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void showContents(const QString &helpFilePath) = 0;
};

// Everything a screen needs from the desktop that a test must be able to
// answer: message boxes, file dialogs, the application folder and the help
// viewer.
class Platform {
public:
    virtual ~Platform() = default;

    // text may hold CR LF; each starts a new line. Returns Yes/No for a
    // Yes/No box, Ok for an OK box however it was closed.
    virtual MessageAnswer messageBox(QWidget *owner, const QString &text, const QString &title,
                                     const MessageKind &kind) = 0;
    // The full path chosen or typed, or nothing on cancel. No suffix is
    // added and overwriting is not confirmed.
    virtual std::optional<QString> saveFileDialog(QWidget *owner, FileDialog &dialog) = 0;
    // Accepts the name of a file that does not exist.
    virtual std::optional<QString> openFileDialog(QWidget *owner, FileDialog &dialog) = 0;
    // A folder that exists, chosen from folders alone; its filters are not
    // used. The folder last chosen is offered again.
    virtual std::optional<QString> folderDialog(QWidget *owner, FileDialog &dialog) = 0;
    // Folder of the program file: no trailing separator except at a root.
    virtual QString applicationFolder() const = 0;
    // This user's own folder for Velmora's settings (~/.config/Velmora); it
    // need not exist yet.
    virtual QString userConfigFolder() const = 0;
    // Where Velmora keeps this user's drafts ($XDG_STATE_HOME/velmora); it
    // need not exist yet. Empty: no drafts are kept.
    virtual QString userStateFolder() const = 0;
    // This user's documents folder, or the home folder when there is none.
    virtual QString documentsFolder() const = 0;
    // Opens the help file's contents page in the given window.
    virtual void showHelpContents(HelpViewer &window, const QString &helpFilePath) = 0;
};

enum class FileDialogKind { Save, Open };

// Shows one of the screens' file dialogs, set up the one way they all are:
// the title and filters given, starting in the application folder when this
// user may create files there and in the documents folder otherwise. The
// full path chosen, or nothing on cancel.
std::optional<QString> askForFile(Platform &platform, QWidget *owner, FileDialog &dialog,
                                  FileDialogKind kind, const QString &title,
                                  const QStringList &filters);

}  // namespace velmora
