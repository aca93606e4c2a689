#include "ui/screens/Wizard.h"

#include "core/presets/PresetsFile.h"
#include "core/readme/ReadmeReading.h"
#include "ui/screens/AppContext.h"
#include "ui/screens/Navigation.h"
#include "ui/screens/AuthorScreen.h"
#include "ui/screens/GeneralInfoScreen.h"
#include "ui/screens/ProgramInfoScreen.h"

#include <QFileInfo>
#include <QSet>
#include <QShortcut>

namespace velmora {

WizardValues wizardValues(const Navigation &navigation, const AppContext &context)
{
    WizardValues values;
    if (auto *main = static_cast<GeneralInfoScreen *>(navigation.screen(ScreenId::Main)))
        main->collectValues(values);
    if (auto *program = static_cast<ProgramInfoScreen *>(navigation.screen(ScreenId::Program)))
        program->collectValues(values);
    if (auto *author = static_cast<AuthorScreen *>(navigation.screen(ScreenId::Author)))
        author->collectValues(values);
    values.record = context.record;
    return values;
}

void putIntoWizard(Navigation &navigation, AppContext &context, const WizardValues &values)
{
    static_cast<GeneralInfoScreen *>(navigation.made(ScreenId::Main))->putValues(values);
    static_cast<ProgramInfoScreen *>(navigation.made(ScreenId::Program))->putValues(values);
    static_cast<AuthorScreen *>(navigation.made(ScreenId::Author))->putValues(values);
    // Last: picking the type on the general-info screen sets the record's.
    context.record = values.record;
}

namespace {

// An opened value as typed: one that is there never takes a fill; an empty
// one counts as emptied after the presets' fill, which it then never takes
// either (when the presets hold nothing for the box, a later preset fills
// it, as it fills any empty box).
PresetBoxValue openedBox(const QString &text, const QString &preset)
{
    if (text.isEmpty() && !preset.isEmpty())
        return {text, preset};
    return {text, std::nullopt};
}

}  // namespace

WizardValues readmeValues(const RecognisedReadme &readme, const WizardValues &now,
                          const PresetRecord &presets)
{
    const ReadmeRecord &r = readme.record;
    WizardValues values;
    values.name = r.programName;
    values.version = r.version;
    values.company = openedBox(r.company, presets.companyName);
    values.webSite = openedBox(r.webSite, presets.webSite);
    values.language = openedBox(r.language, presets.languages);
    values.filesNeeded = openedBox(r.filesNeeded, presets.neededFiles);
    values.type = r.programType;
    values.description = r.description;
    values.instructions = r.instructions;
    values.features = r.features;
    values.additions = r.additions;
    values.newFeatures = r.newAdditions;
    values.licence = r.licence;
    values.licenceText = r.licenceText;
    values.authorName = openedBox(r.authorName, presets.authorName);
    values.authorEMail = openedBox(r.authorEMail, presets.authorEMail);

    // Looked up in a set, so that a list of any length is taken in linear
    // time, however often it is opened.
    const QSet<QString> opened(readme.compatibleSystems.cbegin(), readme.compatibleSystems.cend());
    values.otherSystems = now.otherSystems + now.compatibleSystems;
    values.otherSystems.removeIf([&opened](const QString &system) { return opened.contains(system); });
    values.compatibleSystems = readme.compatibleSystems;

    values.record = r;
    return values;
}

ReadmeContent readmeContent(const Navigation &navigation, const AppContext &context)
{
    const WizardValues values = wizardValues(navigation, context);
    ReadmeContent content{values.record, values.compatibleSystems};
    if (navigation.screen(ScreenId::Author)) {
        content.record.authorName = values.authorName.text;
        content.record.authorEMail = values.authorEMail.text;
    }
    return content;
}

void showReadmeFileInTitles(const Navigation &navigation, const AppContext &context)
{
    const QString name = context.readmeFile.isEmpty() ? QString() : QFileInfo(context.readmeFile).fileName();
    for (ScreenId id : {ScreenId::Main, ScreenId::Program, ScreenId::Author})
        if (Screen *screen = navigation.screen(id))
            screen->showFileName(name);
}

void showPreviewFrom(Screen *screen, AppContext &context, ScreenId self)
{
    context.previewFrom = self;
    context.navigation.change(screen, ScreenId::Preview);
}

void addPreviewKey(Screen *screen, AppContext &context, ScreenId self)
{
    auto *key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), screen);
    QObject::connect(key, &QShortcut::activated, screen, [screen, &context, self] { showPreviewFrom(screen, context, self); });
}

}  // namespace velmora
