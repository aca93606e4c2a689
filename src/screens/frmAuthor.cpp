#include "screens/frmAuthor.h"

#include "files/AtomicFile.h"
#include "files/LineBreaks.h"
#include "toolkit/Look.h"
#include "toolkit/TextBoxes.h"
#include "presets/PresetsFile.h"
#include "readme/ReadmeLayout.h"
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
    fillFromStart(txtAName, presets.authorName);
    fillFromStart(txtAEMail, presets.authorEMail);
    txtAName->setFocus();
}

void frmAuthor::cmdAClear_Click()
{
    clearTextBoxes(this);
    txtAName->setFocus();
}

void frmAuthor::cmdACreate_Click()
{
    const std::optional<QString> path =
        askForFile(ctx.platform, this, dlgAuthor, FileDialogKind::Save,
                   QStringLiteral("Save file"), {QStringLiteral("Text (*.txt)")});

    bool written = false;
    QString reason;  // why the file could not be written; none for Cancel
    if (path) {
        ctx.record.authorName = txtAName->text();
        ctx.record.authorEMail = txtAEMail->text();
        const QByteArray bytes = readmeBytes(ctx.record, ctx.mainScreen ? ctx.mainScreen->compatibleSystems() : QStringList());
        written = writeFileAtomically(*path, bytes, &reason);
    }
    if (!written) {
        QString text = QStringLiteral("There seems to be an error. Please contact the author.");
        if (!reason.isEmpty())
            text += crLf + reason;
        ctx.platform.messageBox(this, text, QStringLiteral("Program error!"),
                                MessageStyle::OkExclamation);
    }
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
