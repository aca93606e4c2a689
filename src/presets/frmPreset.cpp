#include "presets/frmPreset.h"

#include "files/LineBreaks.h"
#include "toolkit/Look.h"
#include "toolkit/TextBoxes.h"
#include "toolkit/Platform.h"
#include "toolkit/ScreenTools.h"
#include "toolkit/Twips.h"
#include "presets/PresetsFile.h"
#include "screens/AppContext.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velmora {

using namespace look;

frmPreset::frmPreset(AppContext &context)
    : Screen(QStringLiteral("Set program constants (presets)"), 4815, 5310),
      ctx(context)
{
    QWidget *c = client();
    //                                                  left  top   width height limit
    txtCComName  = lineBox(c,                           1320, 1560, 3375, 285, 40);
    txtCWeb      = lineBox(c,                           1320, 1920, 3375, 285);
    txtCLanguage = new MultiLineBox(c,                  1320, 2280, 3375, 285);
    txtCNeeded   = new MultiLineBox(c,                  1320, 2640, 3375, 285);
    txtCAName    = lineBox(c,                           1320, 3720, 2415, 285, 30);
    txtCEmail    = lineBox(c,                           1320, 4080, 2415, 285, 30);
    cmdCClear    = button(c, "Clear",                   1440, 4800, 975, 375);
    cmdCSet      = button(c, "Set",                     2520, 4800, 975, 375);
    cmdCMain     = button(c, "Main",                    3720, 4800, 975, 375);
    lblCMsg      = heading(c, "You may set the following information so that each time the "
                              "program is run it will automatically supply this information "
                              "in the correct place.", 120,  120, darkBlue(), false);
    lblCComName  = label(c, "Company name:",             120, 1560);
    lblCWeb      = label(c, "Web site:",                 600, 1920);
    lblCNeeded   = label(c, "Needed files:",             240, 2640);
    lblCAName    = label(c, "Authors' name:",            120, 3720);
    lblCEmail    = label(c, "Authors' email:",           120, 4080);
    lblCGen      = heading(c, "(General info):",         120, 1200, darkGreen());
    lblCAuthor   = heading(c, "(Author):",               120, 3360, darkGreen());
    lblCLanguage = label(c, "Language(s):",              240, 2280);

    // The explanation wraps inside its 4095-twip width; it grows downwards
    // only if the font needs more than its 615 twips to show every word.
    lblCMsg->setWordWrap(true);
    const int msgWidth = px(4095);
    lblCMsg->setGeometry(px(120), px(120), msgWidth,
                         std::max(px(615), lblCMsg->heightForWidth(msgWidth)));

    horizontalSeparator(c, 120, 4680, 960, 970);
    horizontalSeparator(c, 120, 4680, 3120, 3130);
    horizontalSeparator(c, 120, 4680, 4560, 4570);

    nameBy(lblCComName, txtCComName);
    nameBy(lblCWeb, txtCWeb);
    nameBy(lblCLanguage, txtCLanguage);
    nameBy(lblCNeeded, txtCNeeded);
    nameBy(lblCAName, txtCAName);
    nameBy(lblCEmail, txtCEmail);

    setTabOrderChain({txtCComName, txtCWeb, txtCLanguage, txtCNeeded, txtCAName, txtCEmail,
                      cmdCClear, cmdCSet, cmdCMain});
    txtCComName->setFocus();

    connect(cmdCSet, &QPushButton::clicked, this, &frmPreset::cmdCSet_Click);
    connect(cmdCClear, &QPushButton::clicked, this, &frmPreset::cmdCClear_Click);
    connect(cmdCMain, &QPushButton::clicked, this, &frmPreset::cmdCMain_Click);
}

namespace {

const QString programConstants = QStringLiteral("Program Constants");
const QString fileError = QStringLiteral("File Error");

// "a", "a and b", "a, b and c".
QString joinedNames(const QStringList &names)
{
    if (names.size() == 1)
        return names.first();
    return names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ")
           + names.last();
}

}  // namespace

void frmPreset::Form_Load()
{
    // The presets that the screens read, so that Set after a change to one
    // value keeps the other five.
    const PresetRecord saved =
        ReadPresets(ctx.platform.applicationFolder(), ctx.platform.userConfigFolder());
    fillFromStart(txtCComName, saved.companyName);
    fillFromStart(txtCWeb, saved.webSite);
    txtCLanguage->setText(saved.languages);
    txtCNeeded->setText(saved.neededFiles);
    fillFromStart(txtCAName, saved.authorName);
    fillFromStart(txtCEmail, saved.authorEMail);
}

void frmPreset::cmdCSet_Click()
{
    const PresetRecord record{txtCComName->text(), txtCWeb->text(),   txtCLanguage->text(),
                              txtCNeeded->text(),  txtCAName->text(), txtCEmail->text()};
    const PresetsLocation where = locatePresets(ctx.platform.applicationFolder(),
                                                ctx.platform.userConfigFolder(), PresetsUse::Set);
    const auto saveFailed = [this](const QString &reason) {
        ctx.platform.messageBox(this, QStringLiteral("The presets could not be saved.") + crLf + reason,
                                fileError, MessageStyle::OkExclamation);
    };
    if (!where.problem.isEmpty()) {
        saveFailed(where.problem);
        return;
    }
    if (where.path.isEmpty()) {
        ctx.platform.messageBox(this,
                                QStringLiteral("The needed file wasn't found!") + crLf
                                    + QStringLiteral("Please contact the author at:") + crLf
                                    + QStringLiteral("   ") + QStringLiteral(VELMORA_CONTACT_EMAIL),
                                fileError, MessageStyle::OkExclamation);
        return;
    }

    // The file format has no escape for a double quote: the reader would end
    // the value there, so such a value is refused rather than stored broken.
    const QStringList withQuote = valuesWithDoubleQuote(record);
    if (!withQuote.isEmpty()) {
        const QString verb = withQuote.size() == 1 ? QStringLiteral("holds") : QStringLiteral("hold");
        ctx.platform.messageBox(
            this,
            QStringLiteral("The %1 %2 a double quote (\").").arg(joinedNames(withQuote), verb) + crLf
                + QStringLiteral("presets.txt cannot store that character. Please remove it "
                                 "and save again.")
                + crLf + QStringLiteral("Nothing was saved."),
            programConstants, MessageStyle::OkExclamation);
        return;
    }

    ctx.platform.messageBox(this, QStringLiteral("The entered data is being saved!"),
                            programConstants, MessageStyle::OkExclamation);
    const PresetsWrite written = writePresets(where, record);
    if (!written.saved)
        saveFailed(written.reason);
}

void frmPreset::cmdCClear_Click()
{
    clearTextBoxes(this);
    txtCComName->setFocus();
}

void frmPreset::cmdCMain_Click()
{
    ctx.navigation.change(this, ScreenId::Main);
}

void frmPreset::closeRequested()
{
    cmdCMain_Click();
}

}  // namespace velmora
