#pragma once

#include "platform/Platform.h"
#include "presets/PresetsFile.h"

#include <QPointer>
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
    enum class Kind { MessageBox, SaveDialog, OpenDialog, FileExists, HelpContents };

    struct Call {
        Kind kind;
        QPointer<QWidget> owner;
        QString text;   // message text
        QString title;  // message or dialog title
        int style = 0;  // message style value
        QString filter;
        QString initialFolder;
        QString offeredFileName;  // the dialog's remembered file name when it opened
        QString path;             // fileExists / help path
    };

    explicit ScriptedPlatform(QString applicationFolder)
        : m_folder(std::move(applicationFolder))
    {
    }

    // Next answers to give, in order. With an empty script a message box
    // answers Ok (OK box) or No (Yes/No box), and a dialog is cancelled.
    std::deque<MessageAnswer> messageAnswers;
    std::deque<std::optional<QString>> dialogAnswers;
    // Runs while a message box is "open", before it is answered; lets a test
    // look at the world at that moment.
    std::function<void(const Call &)> whileMessageShown;

    std::vector<Call> calls;

    MessageAnswer messageBox(QWidget *owner, const QString &text, const QString &title,
                             int style) override
    {
        Call call{Kind::MessageBox, owner, text, title, style, {}, {}, {}, {}};
        calls.push_back(call);
        if (whileMessageShown)
            whileMessageShown(call);
        const bool yesNo = (style & 0xF) == MessageStyle::YesNo;
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

    bool fileExists(const QString &path) override
    {
        calls.push_back(Call{Kind::FileExists, nullptr, {}, {}, 0, {}, {}, {}, path});
        return velmora::FileExists(path);
    }

    QString applicationFolder() const override { return m_folder; }

    void showHelpContents(QWidget *owner, const QString &helpFilePath) override
    {
        calls.push_back(Call{Kind::HelpContents, owner, {}, {}, 0, {}, {}, {}, helpFilePath});
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
        calls.push_back(Call{kind, owner, {}, dialog.title, 0, dialog.filter,
                             dialog.initialFolder, dialog.fileName, {}});
        std::optional<QString> answer;
        if (!dialogAnswers.empty()) {
            answer = dialogAnswers.front();
            dialogAnswers.pop_front();
        }
        if (answer)
            dialog.fileName = *answer;
        return answer;
    }

    QString m_folder;
};

}  // namespace velmora::test
