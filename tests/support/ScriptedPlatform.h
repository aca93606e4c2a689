#pragma once

#include "ui/toolkit/Platform.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <deque>
#include <iterator>
#include <functional>
#include <optional>
#include <vector>

namespace velmora::test {

// A Platform for tests: answers come from scripts prepared by the test, and
// every call is recorded so the test can check what the user was shown.
class ScriptedPlatform : public Platform {
    QString m_folder;
    QTemporaryDir m_stateHome;

public:
    enum class Kind { MessageBox, SaveDialog, OpenDialog, FolderDialog, HelpContents };

    // What a call gave (members left out of an initializer are empty).
    struct Call {
        Kind kind;
        QPointer<QWidget> owner;
        QString text = {};   // message text
        QString title = {};  // message or dialog title
        MessageKind box = {};  // a message box's buttons, icon and default
        QString filter = {};
        QString initialFolder = {};
        QString offeredFileName = {};  // the dialog's remembered file name when it opened
        QString path = {};             // help path
        QString offeredFilter = {};    // the dialog's filter chosen when it opened
    };

    // The user's own folders lie below applicationFolder/user and do not
    // exist until a test makes them; the state folder, where drafts go, lies
    // in a temporary folder of its own.
    explicit ScriptedPlatform(const QString &applicationFolder) : m_folder(applicationFolder) {}

    QString userConfig = m_folder + QStringLiteral("/user/config");
    QString documents = m_folder + QStringLiteral("/user/Documents");
    // Where drafts go, apart from the program's folder; empty: none are kept.
    QString userState = m_stateHome.path() + QStringLiteral("/velmora");

    // Next answers to give, in order. With an empty script a message box
    // answers Ok (OK box) or No (Yes/No box), and a dialog is cancelled.
    std::deque<MessageAnswer> messageAnswers;
    std::deque<std::optional<QString>> dialogAnswers;
    // The filter the user leaves chosen in each dialog that is not
    // cancelled, in order; without one, the filter chosen last time in that
    // dialog stays (the first filter in a dialog never used).
    std::deque<QString> filterAnswers;
    // Runs while a message box is "open", before it is answered; lets a test
    // look at the world at that moment.
    std::function<void(const Call &)> whileMessageShown;

    std::vector<Call> calls;

    MessageAnswer messageBox(QWidget *owner, const QString &text, const QString &title,
                             const MessageKind &kind) override
    {
        const Call call{Kind::MessageBox, owner, text, title, kind};
        calls.push_back(call);
        if (whileMessageShown)
            whileMessageShown(call);
        const MessageAnswer answer = take(messageAnswers).value_or(MessageAnswer::No);
        return kind.buttons == MessageKind::Buttons::YesNo ? answer : MessageAnswer::Ok;
    }

    std::optional<QString> saveFileDialog(QWidget *owner, FileDialog &dialog) override
    {
        return fileDialog(Kind::SaveDialog, owner, dialog);
    }

    std::optional<QString> openFileDialog(QWidget *owner, FileDialog &dialog) override
    {
        return fileDialog(Kind::OpenDialog, owner, dialog);
    }

    std::optional<QString> folderDialog(QWidget *owner, FileDialog &dialog) override
    {
        return fileDialog(Kind::FolderDialog, owner, dialog);
    }

    QString applicationFolder() const override { return m_folder; }
    QString userConfigFolder() const override { return userConfig; }
    QString userStateFolder() const override { return userState; }
    QString documentsFolder() const override { return documents; }

    // Records the request; the help window itself is not shown. Its owner is
    // the window it belongs to.
    void showHelpContents(HelpViewer &window, const QString &helpFilePath) override
    {
        auto *widget = dynamic_cast<QWidget *>(&window);
        calls.push_back(Call{Kind::HelpContents, widget ? widget->parentWidget() : nullptr, {}, {}, {}, {}, {}, {},
                             helpFilePath});
    }

    std::vector<Call> callsOf(Kind kind) const
    {
        std::vector<Call> out;
        std::ranges::copy_if(calls, std::back_inserter(out), [kind](const Call &c) { return c.kind == kind; });
        return out;
    }

    std::vector<Call> messages() const { return callsOf(Kind::MessageBox); }

private:
    // The script's next answer, none when it is empty.
    template <class T>
    static std::optional<T> take(std::deque<T> &script)
    {
        std::optional<T> next;
        if (!script.empty()) {
            next = script.front();
            script.pop_front();
        }
        return next;
    }

    std::optional<QString> fileDialog(Kind kind, QWidget *owner, FileDialog &dialog)
    {
        calls.push_back(Call{kind, owner, {}, dialog.title, {}, dialog.filters.join(QStringLiteral(";;")),
                             dialog.initialFolder, dialog.fileName, {}, dialog.selectedFilter});
        const std::optional<QString> answer = take(dialogAnswers).value_or(std::nullopt);
        if (answer) {
            dialog.fileName = *answer;
            if (!dialog.filters.contains(dialog.selectedFilter))
                dialog.selectedFilter = dialog.filters.value(0);
            dialog.selectedFilter = take(filterAnswers).value_or(dialog.selectedFilter);
        }
        return answer;
    }

};

}  // namespace velmora::test
