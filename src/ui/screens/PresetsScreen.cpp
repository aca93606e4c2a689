#include "ui/screens/PresetsScreen.h"

#include "core/text/LineBreaks.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Input.h"
#include "ui/toolkit/Platform.h"
#include "ui/toolkit/Twips.h"
#include "core/presets/PresetsFile.h"
#include "ui/screens/AppContext.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velmora {

using namespace look;

PresetsScreen::PresetsScreen(AppContext &context)
    : Screen(QStringLiteral("Set program constants (presets)"), 4815, 5310),
      context(context)
{
    QWidget *c = client();
    //                                   left  top   width height limit
    companyBox     = lineBox(c,          1320, 1560, 3375, 285, 40);
    webBox         = lineBox(c,          1320, 1920, 3375, 285);
    languageBox    = new MultiLineBox(c, 1320, 2280, 3375, 285);
    filesNeededBox = new MultiLineBox(c, 1320, 2640, 3375, 285);
    authorNameBox  = lineBox(c,          1320, 3720, 2415, 285, 30);
    emailBox       = lineBox(c,          1320, 4080, 2415, 285, 30);
    clearButton    = button(c, "&Clear", 1440, 4800, 975, 375);
    setButton      = button(c, "&Set",   2520, 4800, 975, 375);
    mainButton     = button(c, "&Main",  3720, 4800, 975, 375);
    messageLabel   = heading(c, "You may set the following information so that each time the "
                             "program is run it will automatically supply this information "
                             "in the correct place.", 120,  120, darkBlue(), false);
    companyLabel     = label(c, "Company name:",      120, 1560);
    webLabel         = label(c, "Web site:",          600, 1920);
    filesNeededLabel = label(c, "Needed files:",      240, 2640);
    authorNameLabel  = label(c, "Authors' name:",     120, 3720);
    emailLabel       = label(c, "Authors' email:",    120, 4080);
    generalHeading   = heading(c, "(General info):",  120, 1200, darkGreen());
    authorHeading    = heading(c, "(Author):",        120, 3360, darkGreen());
    languageLabel    = label(c, "Language(s):",       240, 2280);

    // The explanation wraps inside its 4095-twip width; it grows downwards
    // only if the font needs more than its 615 twips to show every word.
    messageLabel->setWordWrap(true);
    const int msgWidth = px(4095);
    messageLabel->setGeometry(px(120), px(120), msgWidth,
                         std::max(px(615), messageLabel->heightForWidth(msgWidth)));

    horizontalSeparator(c, 120, 4680, 960, 970);
    horizontalSeparator(c, 120, 4680, 3120, 3130);
    horizontalSeparator(c, 120, 4680, 4560, 4570);

    nameBy(companyLabel, companyBox);
    nameBy(webLabel, webBox);
    nameBy(languageLabel, languageBox);
    nameBy(filesNeededLabel, filesNeededBox);
    nameBy(authorNameLabel, authorNameBox);
    nameBy(emailLabel, emailBox);

    setTabOrderChain({companyBox, webBox, languageBox, filesNeededBox, authorNameBox, emailBox,
                      clearButton, setButton, mainButton});
    companyBox->setFocus();

    connect(setButton, &QPushButton::clicked, this, &PresetsScreen::savePresets);
    connect(clearButton, &QPushButton::clicked, this, &PresetsScreen::clear);
    connect(mainButton, &QPushButton::clicked, this, &PresetsScreen::backToMain);
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

void PresetsScreen::load()
{
    // The presets that the screens read, so that Set after a change to one
    // value keeps the other five.
    const PresetRecord saved =
        readPresets(context.platform.applicationFolder(), context.platform.userConfigFolder());
    fillFromStart(companyBox, saved.companyName);
    fillFromStart(webBox, saved.webSite);
    languageBox->setText(saved.languages);
    filesNeededBox->setText(saved.neededFiles);
    fillFromStart(authorNameBox, saved.authorName);
    fillFromStart(emailBox, saved.authorEMail);
}

void PresetsScreen::savePresets()
{
    const PresetRecord record{companyBox->text(), webBox->text(),   languageBox->text(),
                              filesNeededBox->text(),  authorNameBox->text(), emailBox->text()};
    const PresetsLocation where = locatePresets(context.platform.applicationFolder(),
                                                context.platform.userConfigFolder(), PresetsUse::Set);
    const auto saveFailed = [this](const QString &reason) {
        context.platform.messageBox(this, QStringLiteral("The presets could not be saved.") + crLf + reason,
                                fileError, okWarning);
    };
    if (!where.problem.isEmpty()) {
        saveFailed(where.problem);
        return;
    }
    if (where.path.isEmpty()) {
        context.platform.messageBox(this,
                                QStringLiteral("The needed file wasn't found!") + crLf
                                    + QStringLiteral("Please contact the author at:") + crLf
                                    + QStringLiteral("   ") + QStringLiteral(VELMORA_CONTACT_EMAIL),
                                fileError, okWarning);
        return;
    }

    // The file format has no escape for a double quote: the reader would end
    // the value there, so such a value is refused rather than stored broken.
    const QStringList withQuote = valuesWithDoubleQuote(record);
    if (!withQuote.isEmpty()) {
        const QString verb = withQuote.size() == 1 ? QStringLiteral("holds") : QStringLiteral("hold");
        context.platform.messageBox(
            this,
            QStringLiteral("The %1 %2 a double quote (\").").arg(joinedNames(withQuote), verb) + crLf
                + QStringLiteral("presets.txt cannot store that character. Please remove it "
                                 "and save again.")
                + crLf + QStringLiteral("Nothing was saved."),
            programConstants, okWarning);
        return;
    }

    context.platform.messageBox(this, QStringLiteral("The entered data is being saved!"),
                            programConstants, okWarning);
    const PresetsWrite written = writePresets(where, record);
    if (!written.saved)
        saveFailed(written.reason);
}

void PresetsScreen::clear()
{
    clearTextBoxes(this);
    companyBox->setFocus();
}

void PresetsScreen::backToMain()
{
    context.navigation.change(this, ScreenId::Main);
}

void PresetsScreen::closeRequested()
{
    backToMain();
}

}  // namespace velmora
