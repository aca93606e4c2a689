#pragma once

#include "ui/toolkit/Platform.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace velmora::test {

// A Platform for tests: answers come from scripts prepared by the test, and
// every call is recorded so the test can check what the user was shown.
class ScriptedPlatform : public Platform {
public:
    enum class Kind { MessageBox, SaveDialog, OpenDialog, HelpContents };

    struct Call {
        Kind kind;
        QPointer<QWidget> owner;
        QString text;   // message text
        QString title;  // message or dialog title
        MessageKind box = {};  // a message box's buttons, icon and default
        QString filter;
        QString initialFolder;
        QString offeredFileName;  // the dialog's remembered file name when it opened
        QString path;             // help path
    };

    // The user's own folders lie below applicationFolder/user and do not
    // exist until a test makes them; the state folder, where drafts go, lies
    // in a temporary folder of its own.
    explicit ScriptedPlatform(QString applicationFolder)
        : userConfig(applicationFolder + QStringLiteral("/user/config")),
          documents(applicationFolder + QStringLiteral("/user/Documents")),
          userState(m_stateHome.path() + QStringLiteral("/velmora")),
          m_folder(std::move(applicationFolder))
    {
    }

private:
    QTemporaryDir m_stateHome;  // made before the folder in it is named

public:
    QString userConfig;
    QString documents;
    QString userState;  // where drafts go, apart from the program's folder; empty: none are kept

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
        Call call{Kind::MessageBox, owner, text, title, kind, {}, {}, {}, {}};
        calls.push_back(call);
        if (whileMessageShown)
            whileMessageShown(call);
        const bool yesNo = kind.buttons == MessageKind::Buttons::YesNo;
        MessageAnswer answer = yesNo ? MessageAnswer::No : MessageAnswer::Ok;
        if (!messageAnswers.empty()) {
            answer = messageAnswers.front();
            messageAnswers.pop_front();
        }
        if (!yesNo)
            answer = MessageAnswer::Ok;
        return answer;
    }

    std::optional<QString> saveFileDialog(QWidget *owner, FileDialog &dialog) override
    {
        return fileDialog(Kind::SaveDialog, owner, dialog);
    }

    std::optional<QString> openFileDialog(QWidget *owner, FileDialog &dialog) override
    {
        return fileDialog(Kind::OpenDialog, owner, dialog);
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
        calls.push_back(Call{Kind::HelpContents, widget ? widget->parentWidget() : nullptr, {}, {},
                             {}, {}, {}, {}, helpFilePath});
    }

    std::vector<Call> callsOf(Kind kind) const
    {
        std::vector<Call> out;
        for (const Call &c : calls)
            if (c.kind == kind)
                out.push_back(c);
        return out;
    }

    std::vector<Call> messages() const { return callsOf(Kind::MessageBox); }

private:
    std::optional<QString> fileDialog(Kind kind, QWidget *owner, FileDialog &dialog)
    {
        calls.push_back(Call{kind, owner, {}, dialog.title, {}, dialog.filters.join(QStringLiteral(";;")),
                             dialog.initialFolder, dialog.fileName, {}});
        std::optional<QString> answer;
        if (!dialogAnswers.empty()) {
            answer = dialogAnswers.front();
            dialogAnswers.pop_front();
        }
        if (answer) {
            dialog.fileName = *answer;
            if (!filterAnswers.empty()) {
                dialog.selectedFilter = filterAnswers.front();
                filterAnswers.pop_front();
            } else if (!dialog.filters.contains(dialog.selectedFilter)) {
                dialog.selectedFilter = dialog.filters.value(0);
            }
        }
        return answer;
    }

    QString m_folder;
};

}  // namespace velmora::test
