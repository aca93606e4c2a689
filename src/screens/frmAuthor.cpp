#include "screens/frmAuthor.h"

#include "files/AtomicFile.h"
#include "files/LineBreaks.h"
#include "toolkit/Look.h"
#include "toolkit/TextBoxes.h"
#include "presets/PresetsFile.h"
#include "readme/ReadmeLayout.h"
#include "readme/ReadmeMarkdown.h"
#include "readme/ReadmeTarget.h"
#include "screens/AppContext.h"
#include "screens/frmMain.h"
#include "toolkit/ScreenTools.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velmora {

using namespace look;

frmAuthor::frmAuthor(AppContext &context)
    : Screen(QStringLiteral("Author"), 3495, 1485), ctx(context)
{
    QWidget *c = client();
    //                                          left top  width height limit
    lblAName   = label(c, "Name:",                75, 120);
    txtAName   = lineBox(c,                      600, 120, 2775, 285, 30);
    lblAEMail  = label(c, "EMail:",              120, 480);
    txtAEMail  = lineBox(c,                      600, 480, 2775, 285, 30);
    cmdAClear  = button(c, "Clear",              120, 960,  975, 375);
    cmdACreate = button(c, "Create File",       1200, 960,  975, 375);
    cmdAMain   = button(c, "Main",              2400, 960,  975, 375);

    nameBy(lblAName, txtAName);
    nameBy(lblAEMail, txtAEMail);

    setTabOrderChain({txtAName, txtAEMail, cmdAClear, cmdACreate, cmdAMain});

    connect(cmdAClear, &QPushButton::clicked, this, &frmAuthor::cmdAClear_Click);
    connect(cmdACreate, &QPushButton::clicked, this, &frmAuthor::cmdACreate_Click);
    connect(cmdAMain, &QPushButton::clicked, this, &frmAuthor::cmdAMain_Click);
    watchPointer(cmdACreate, this);
}

void frmAuthor::Form_Activate()
{
    const PresetRecord presets =
        ReadPresets(ctx.platform.applicationFolder(), ctx.platform.userConfigFolder());
    nameFill.fill(txtAName, presets.authorName);
    eMailFill.fill(txtAEMail, presets.authorEMail);
    txtAName->setFocus();
}

void frmAuthor::collectValues(WizardValues &values) const
{
    values.authorName = nameFill.valueOf(txtAName->text());
    values.authorEMail = eMailFill.valueOf(txtAEMail->text());
}

void frmAuthor::putValues(const WizardValues &values)
{
    fillFromStart(txtAName, values.authorName.text);
    fillFromStart(txtAEMail, values.authorEMail.text);
    nameFill.remember(values.authorName.filled);
    eMailFill.remember(values.authorEMail.filled);
}

void frmAuthor::cmdAClear_Click()
{
    clearTextBoxes(this);
    txtAName->setFocus();
}

void frmAuthor::cmdACreate_Click()
{
    const QString markdownFilter = QStringLiteral("Markdown (*.md)");
    const std::optional<QString> path =
        askForFile(ctx.platform, this, dlgAuthor, FileDialogKind::Save, QStringLiteral("Save file"),
                   {QStringLiteral("Text (*.txt)"), markdownFilter});

    bool written = false;
    QString reason;  // why the file could not be written; none for Cancel
    if (path) {
        ctx.record.authorName = txtAName->text();
        ctx.record.authorEMail = txtAEMail->text();
        const QStringList systems = ctx.mainScreen ? ctx.mainScreen->compatibleSystems() : QStringList();
        reason = readmeTargetProblem(*path, ctx.platform.applicationFolder(),
                                     ctx.platform.userConfigFolder());
        if (reason.isEmpty()) {
            // The name decides as much as the filter: a README.md is Markdown
            // whichever filter was left chosen. No extension is ever added.
            const bool markdown = dlgAuthor.selectedFilter == markdownFilter
                                  || path->endsWith(QLatin1String(".md"), Qt::CaseInsensitive);
            QByteArray bytes;
            if (markdown) {
                bytes = readmeMarkdownBytes(ctx.record, systems);  // UTF-8 already: no question
            } else {
                const ReadmeEncoding encoding =
                    askForEncoding(charactersOutsideWindows1252(ctx.record, systems));
                bytes = readmeBytes(ctx.record, systems, encoding);
            }
            written = writeFileAtomically(*path, bytes, &reason);
        }
    }
    if (!written) {
        QString text = QStringLiteral("There seems to be an error. Please contact the author.");
        if (!reason.isEmpty())
            text += crLf + reason;
        ctx.platform.messageBox(this, text, QStringLiteral("Program error!"),
                                MessageStyle::OkExclamation);
    }
}

ReadmeEncoding frmAuthor::askForEncoding(const QList<char32_t> &outside)
{
    if (outside.isEmpty())
        return ReadmeEncoding::Windows1252;
    constexpr qsizetype named = 10;
    QStringList shown;
    for (qsizetype i = 0; i < outside.size() && i < named; ++i)
        shown << QString::fromUcs4(&outside[i], 1);
    QString list = shown.join(u' ');
    if (outside.size() > named)
        list += QStringLiteral(" and %1 more").arg(outside.size() - named);
    const MessageAnswer answer = ctx.platform.messageBox(
        this,
        QStringLiteral("The readme holds characters that Windows-1252 cannot hold:") + crLf + list
            + crLf + QStringLiteral("Write it in UTF-8 (without a byte-order mark) instead?") + crLf
            + QStringLiteral("No writes each of them as \"?\"."),
        QStringLiteral("Save as UTF-8?"), MessageStyle::YesNoQuestion);
    return answer == MessageAnswer::Yes ? ReadmeEncoding::Utf8 : ReadmeEncoding::Windows1252;
}

void frmAuthor::cmdAMain_Click()
{
    ctx.navigation.change(this, ScreenId::Main);
}

void frmAuthor::cmdACreate_MouseMove()
{
    cmdACreate->setToolTip(ctx.tooltipsWanted() ? QStringLiteral("Creates the readme file")
                                                : QString());
}

void frmAuthor::closeRequested()
{
    cmdAMain_Click();
}

bool frmAuthor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cmdACreate && event->type() == QEvent::MouseMove)
        cmdACreate_MouseMove();
    return Screen::eventFilter(watched, event);
}

}  // namespace velmora
