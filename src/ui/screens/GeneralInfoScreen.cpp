#include "ui/screens/GeneralInfoScreen.h"

#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Input.h"
#include "ui/toolkit/Platform.h"
#include "core/systems/OwnSystems.h"
#include "core/presets/PresetsFile.h"
#include "core/project/ProjectFacts.h"
#include "core/readme/LayoutText.h"
#include "core/readme/ReadmeFile.h"
#include "core/readme/ReadmeReading.h"
#include "core/readme/TextLayout.h"
#include "ui/screens/AppContext.h"
#include "ui/screens/Wizard.h"

#include <QAction>
#include <QFileInfo>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <algorithm>
#include <string_view>

namespace velmora {

using namespace look;

namespace {

const QString compatTip = QStringLiteral("Double-click the OS(s) that are compatible with your program");
const QString typeTip = QStringLiteral("Be sure to click an item (it will be highlited)");

// Moves the selected entry of source to the end of target and removes every
// entry of the same text from source. The row that takes the moved row's
// place (the last row when none follows) is current, so that the next key
// goes on from there.
void transfer(QListWidget *source, QListWidget *target)
{
    const QList<QListWidgetItem *> selected = source->selectedItems();
    const QString text = selected.isEmpty() ? QString() : selected.first()->text();
    if (text.isEmpty())
        return;
    int place = source->row(selected.first());
    target->addItem(text);
    for (int row = source->count() - 1; row >= 0; --row) {
        if (source->item(row)->text() == text) {
            delete source->takeItem(row);
            place -= row < place;
        }
    }
    source->setCurrentRow(std::min(place, source->count() - 1));
}

}  // namespace

GeneralInfoScreen::GeneralInfoScreen(AppContext &context)
    : Screen(QStringLiteral("Velmora"), 5775, 6030), context(context)
{
    QWidget *c = client();
    //                                                 left  top   width height limit
    titleLabel       = heading(c, "General Info:",      120, 120, darkBlue());
    nameLabel        = label(c, "Name:",                420, 480);
    nameBox          = lineBox(c,                       960, 480, 3015, 285, 40);
    versionLabel     = label(c, "Version:",             300, 840);
    versionBox       = lineBox(c,                       960, 840, 3735, 285);
    companyLabel     = label(c, "Company:",             150, 1200);
    companyBox       = lineBox(c,                       960, 1200, 3015, 285, 40);
    webLabel         = label(c, "Web site:",            195, 1560);
    webBox           = lineBox(c,                       960, 1560, 3735, 285);
    languageLabel    = label(c, "Language:",            120, 1920);
    languageBox      = lineBox(c,                       960, 1920, 3015, 285);
    filesNeededLabel = label(c, "Files needed:",        120, 2640);
    filesNeededBox   = new MultiLineBox(c,             1200, 2640, 3495, 285);
    osListLabel      = heading(c, "OS list:",           120, 3360, darkBlue());
    osList           = listBox(c,                       120, 3600, 1695, 1035);
    compatibleLabel  = heading(c, "(compatible list)", 2040, 3360, darkBlue(), false);
    compatibleList   = listBox(c,                      2040, 3600, 1695, 1035);
    typeLabel        = heading(c, "Type: ",            4200, 3360, darkBlue());
    typeList         = listBox(c,                      4200, 3600, 1335, 255);
    ownSystemLabel   = label(c, "Own system:",          120, 4800);
    ownSystemBox     = lineBox(c,                      1200, 4800, 2175, 285, maxOwnSystemLength);
    addSystemButton  = button(c, "&Add",               3480, 4755, 975, 375);
    removeSystemButton = button(c, "&Remove",          4680, 4755, 975, 375);
    clearButton      = button(c, "&Clear",             2400, 5520, 975, 375);
    nextButton       = button(c, "&Next",              3480, 5520, 975, 375);
    exitButton       = button(c, "E&xit",              4680, 5520, 975, 375);

    horizontalSeparator(c, 120, 5640, 2400, 2415);
    horizontalSeparator(c, 120, 5640, 3120, 3135);
    horizontalSeparator(c, 120, 5640, 5280, 5295);
    verticalSeparator(c, 3960, 3970, 3600, 4560);

    ownSystems = readOwnSystems(context.platform.userConfigFolder());
    osList->addItems(startingSystems() + ownSystems);
    typeList->addItems(layout::programTypes);
    pickTheShownRow(typeList, QStringLiteral("No type"));
    takeOnly(versionBox, layout::isVersion);
    osList->setCursor(Qt::PointingHandCursor);
    typeList->setCursor(Qt::PointingHandCursor);

    nameBy(nameLabel, nameBox);
    nameBy(versionLabel, versionBox);
    nameBy(companyLabel, companyBox);
    nameBy(webLabel, webBox);
    nameBy(languageLabel, languageBox);
    nameBy(filesNeededLabel, filesNeededBox);
    nameBy(osListLabel, osList);
    nameBy(compatibleLabel, compatibleList);
    nameBy(typeLabel, typeList);
    nameBy(ownSystemLabel, ownSystemBox);
    addSystemButton->setAccessibleDescription(QStringLiteral("Adds the own system to the end of the OS list"));
    removeSystemButton->setAccessibleDescription(
        QStringLiteral("Removes the own system chosen in the OS list; the systems Velmora knows stay"));

    setTabOrderChain({nameBox, versionBox, companyBox, webBox, languageBox, filesNeededBox,
                      typeList, osList, compatibleList, ownSystemBox, addSystemButton, removeSystemButton,
                      clearButton, nextButton, exitButton});

    connect(nextButton, &QPushButton::clicked, this, &GeneralInfoScreen::next);
    connect(clearButton, &QPushButton::clicked, this, &GeneralInfoScreen::clear);
    connect(exitButton, &QPushButton::clicked, this, &GeneralInfoScreen::askToExit);
    connect(typeList, &QListWidget::itemSelectionChanged, this, &GeneralInfoScreen::pickType);
    connect(osList, &QListWidget::itemDoubleClicked, this, &GeneralInfoScreen::moveToCompatible);
    connect(compatibleList, &QListWidget::itemDoubleClicked, this, &GeneralInfoScreen::moveBackToOsList);
    connect(addSystemButton, &QPushButton::clicked, this, &GeneralInfoScreen::addOwnSystem);
    connect(ownSystemBox, &QLineEdit::returnPressed, this, &GeneralInfoScreen::addOwnSystem);
    connect(removeSystemButton, &QPushButton::clicked, this, &GeneralInfoScreen::removeOwnSystem);
    connect(ownSystemBox, &QLineEdit::textChanged, this, &GeneralInfoScreen::updateSystemButtons);
    connect(osList, &QListWidget::currentItemChanged, this, &GeneralInfoScreen::updateSystemButtons);
    updateSystemButtons();

    osList->installEventFilter(this);
    compatibleList->installEventFilter(this);
    watchPointer(osList, this);
    watchPointer(typeList, this);

    buildMenu();
    context.mainScreen = this;
}

void GeneralInfoScreen::buildMenu()
{
    menuBar = new QMenuBar(this);
    fileMenu = menuBar->addMenu("&File");
    constantsAction = fileMenu->addAction("&Constants");
    openAction = fileMenu->addAction(QStringLiteral("&Open readme\u2026"));
    openAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    projectAction = fileMenu->addAction(QStringLiteral("From &project folder\u2026"));
    fileSeparator = fileMenu->addSeparator();
    exitAction = fileMenu->addAction("E&xit");
    toolsMenu = menuBar->addMenu("&Tools");
    tooltipsAction = toolsMenu->addAction("&Tooltips");
    tooltipsAction->setCheckable(true);
    toolsSeparator = toolsMenu->addSeparator();
    viewAction = toolsMenu->addAction("&View");
    previewAction = toolsMenu->addAction("&Preview");
    previewAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    helpMenu = menuBar->addMenu("&Help");
    contentsAction = helpMenu->addAction("&Contents");
    setMenuBar(menuBar);

    connect(constantsAction, &QAction::triggered, this, &GeneralInfoScreen::showPresets);
    connect(openAction, &QAction::triggered, this, &GeneralInfoScreen::openReadme);
    connect(projectAction, &QAction::triggered, this, &GeneralInfoScreen::openProjectFolder);
    connect(exitAction, &QAction::triggered, this, &GeneralInfoScreen::exitFromMenu);
    connect(tooltipsAction, &QAction::triggered, this, &GeneralInfoScreen::switchTooltips);
    connect(viewAction, &QAction::triggered, this, &GeneralInfoScreen::showViewer);
    connect(previewAction, &QAction::triggered, this, &GeneralInfoScreen::showPreview);
    connect(contentsAction, &QAction::triggered, this, &GeneralInfoScreen::showHelp);
}

void GeneralInfoScreen::load()
{
    context.help.bindHelpFile(this, context.platform.applicationFolder());
}

void GeneralInfoScreen::activate()
{
    const PresetRecord presets =
        readPresets(context.platform.applicationFolder(), context.platform.userConfigFolder());
    companyFill.fill(companyBox, presets.companyName);
    webFill.fill(webBox, presets.webSite);
    languageFill.fill(languageBox, presets.languages);
    needFill.fill(filesNeededBox, presets.neededFiles);
    nameBox->setFocus();
}

namespace {

QStringList entriesOf(const QListWidget *list)
{
    QStringList entries;
    const int count = list->count();
    for (int row = 0; row < count; ++row)
        entries << list->item(row)->text();
    return entries;
}

}  // namespace

QStringList GeneralInfoScreen::compatibleSystems() const
{
    return entriesOf(compatibleList);
}

void GeneralInfoScreen::collectValues(WizardValues &values) const
{
    values.name = nameBox->text();
    values.version = versionBox->text();
    values.company = companyFill.valueOf(companyBox->text());
    values.webSite = webFill.valueOf(webBox->text());
    values.language = languageFill.valueOf(languageBox->text());
    values.filesNeeded = needFill.valueOf(filesNeededBox->text());
    values.otherSystems = entriesOf(osList);
    values.compatibleSystems = entriesOf(compatibleList);
    const QList<QListWidgetItem *> picked = typeList->selectedItems();
    values.type = picked.isEmpty() ? QString() : picked.first()->text();
}

void GeneralInfoScreen::putValues(const WizardValues &values)
{
    fillFromStart(nameBox, values.name);
    fillFromStart(versionBox, values.version);
    fillFromStart(companyBox, values.company.text);
    fillFromStart(webBox, values.webSite.text);
    fillFromStart(languageBox, values.language.text);
    filesNeededBox->setText(values.filesNeeded.text);
    companyFill.remember(values.company.filled);
    webFill.remember(values.webSite.filled);
    languageFill.remember(values.language.filled);
    needFill.remember(values.filesNeeded.filled);
    osList->clear();
    osList->addItems(values.otherSystems);
    compatibleList->clear();
    compatibleList->addItems(values.compatibleSystems);
    // A system the values do not hold (one Velmora or the user has added
    // since they were kept) is still offered, at the end of the OS list.
    for (const QString &system : startingSystems() + ownSystems)
        if (!values.otherSystems.contains(system) && !values.compatibleSystems.contains(system))
            osList->addItem(system);
    updateSystemButtons();
    const QList<QListWidgetItem *> types = typeList->findItems(values.type, Qt::MatchExactly);
    if (values.type.isEmpty() || types.isEmpty())
        typeList->clearSelection();  // the empty row shows
    else
        typeList->setCurrentItem(types.first());
}

void GeneralInfoScreen::next()
{
    ReadmeRecord &r = context.record;
    r.programName = nameBox->text();
    r.version = versionBox->text();
    r.company = companyBox->text();
    r.webSite = webBox->text();
    r.language = languageBox->text();
    r.filesNeeded = filesNeededBox->text();
    context.navigation.change(this, ScreenId::Program);
}

void GeneralInfoScreen::clear()
{
    clearTextBoxes(this);
    // The compatible systems go back to the end of the OS list, in order.
    while (compatibleList->count() > 0)
        osList->addItem(compatibleList->takeItem(0));
    nameBox->setFocus();
}

void GeneralInfoScreen::askToExit()
{
    const MessageAnswer answer = context.platform.messageBox(
        this, QStringLiteral("You have indicated you wish to\r\nexit the program. Is this correct?"),
        QStringLiteral("Exit?"), yesNoQuestion);
    if (answer == MessageAnswer::Yes)
        context.navigation.endProgram();
}

void GeneralInfoScreen::closeRequested()
{
    askToExit();
}

void GeneralInfoScreen::pickType()
{
    // The type the list shows; none while its empty row shows.
    const QList<QListWidgetItem *> selected = typeList->selectedItems();
    context.record.programType = selected.isEmpty() ? QString() : selected.first()->text();
}

void GeneralInfoScreen::moveToCompatible()
{
    transfer(osList, compatibleList);
}

void GeneralInfoScreen::moveBackToOsList()
{
    transfer(compatibleList, osList);
}

// The system typed into the own-system box goes to the end of the OS list
// and is remembered for the next start. One the lists already hold is
// shown where it stands instead.
void GeneralInfoScreen::addOwnSystem()
{
    const QString name = ownSystemName(ownSystemBox->text());
    if (name.isEmpty())
        return;
    for (QListWidget *list : {osList, compatibleList}) {
        const QList<QListWidgetItem *> found = list->findItems(name, Qt::MatchFixedString);
        if (!found.isEmpty()) {
            list->setCurrentItem(found.first());
            list->scrollToItem(found.first());
            ownSystemBox->clear();
            return;
        }
    }
    if (ownSystems.size() >= maxOwnSystems) {
        context.platform.messageBox(
            this, QStringLiteral("Velmora keeps up to %1 systems of your own.\r\nRemove one to add another.").arg(maxOwnSystems),
            QStringLiteral("Add system"), okWarning);
        return;
    }
    ownSystems << name;
    osList->addItem(name);
    osList->setCurrentRow(osList->count() - 1);
    osList->scrollToBottom();
    ownSystemBox->clear();
    rememberOwnSystems();
}

// The chosen row of the OS list, when it is a system the user added, leaves
// the list and is forgotten.
void GeneralInfoScreen::removeOwnSystem()
{
    QListWidgetItem *row = osList->currentItem();
    if (!row || !ownSystems.contains(row->text()))
        return;
    ownSystems.removeAll(row->text());
    const int place = osList->row(row);
    delete osList->takeItem(place);
    osList->setCurrentRow(std::min(place, osList->count() - 1));
    osList->setFocus();
    rememberOwnSystems();
}

void GeneralInfoScreen::rememberOwnSystems()
{
    QString reason;
    if (!writeOwnSystems(context.platform.userConfigFolder(), ownSystems, &reason))
        context.platform.messageBox(
            this, QStringLiteral("The OS list has changed for now, but Velmora cannot remember it for the next start.\r\n") + reason,
            QStringLiteral("OS list"), okWarning);
    updateSystemButtons();
}

void GeneralInfoScreen::updateSystemButtons()
{
    addSystemButton->setEnabled(!ownSystemName(ownSystemBox->text()).isEmpty());
    const QListWidgetItem *row = osList->currentItem();
    removeSystemButton->setEnabled(row && ownSystems.contains(row->text()));
}

void GeneralInfoScreen::showOsListTip()
{
    osList->setToolTip(context.tooltipsOn ? compatTip : QString());
}

void GeneralInfoScreen::showTypeTip()
{
    typeList->setToolTip(context.tooltipsOn ? typeTip : QString());
}

// Return, Enter and Space on the current row move it, as a double-click
// does; Ctrl+Space still marks the row the Qt way.
bool GeneralInfoScreen::listKeyPressed(QListWidget *list, QKeyEvent *event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (key == Qt::Key_Delete && mods == Qt::NoModifier && list == osList) {
        removeOwnSystem();
        return true;
    }
    const bool moves = (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)
                       && mods == Qt::NoModifier;
    if (!moves)
        return false;
    if (QListWidgetItem *row = list->currentItem()) {
        list->setCurrentItem(row);  // the row the key is on is the one moved
        if (list == osList)
            moveToCompatible();
        else
            moveBackToOsList();
    }
    return true;
}

bool GeneralInfoScreen::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == osList || watched == compatibleList) && event->type() == QEvent::KeyPress)
        return listKeyPressed(static_cast<QListWidget *>(watched), static_cast<QKeyEvent *>(event));
    if (event->type() == QEvent::MouseMove) {
        if (watched == osList->viewport())
            showOsListTip();
        else if (watched == typeList->viewport())
            showTypeTip();
    }
    if (event->type() == QEvent::ToolTip) {
        if (watched == osList->viewport())
            return showOwnToolTip(osList, event);
        if (watched == typeList->viewport())
            return showOwnToolTip(typeList, event);
    }
    return Screen::eventFilter(watched, event);
}

void GeneralInfoScreen::showPresets()
{
    context.navigation.change(this, ScreenId::Preset);
}

// Puts a readme written earlier back into the wizard, as if typed, so that
// the next release's readme starts from it, and makes it the file that
// Create File writes back to. What was typed since the last file is
// replaced only when the user says so.
void GeneralInfoScreen::openReadme()
{
    const std::optional<QString> path = askForFile(
        context.platform, this, openDialog, FileDialogKind::Open, QStringLiteral("Open readme"),
        {QStringLiteral("Readme (*.txt *.md)"), QStringLiteral("All files (*)")});
    if (path)  // Cancel changes nothing and says nothing
        openReadmeFile(*path);
}

void GeneralInfoScreen::openReadmeFile(const QString &path)
{
    const RecognisedReadme readme = recogniseReadmeFile(path);
    if (!readme.recognised) {
        context.platform.messageBox(this, notRecognisedMessage(readme), QStringLiteral("Open readme"),
                                okWarning);
        return;
    }
    const WizardValues now = wizardValues(context.navigation, context);
    if (typedSince(context.valuesAtFile, now)) {
        const MessageAnswer answer = context.platform.messageBox(
            this, QStringLiteral("Replace what you typed with %1?").arg(QFileInfo(path).fileName()),
            QStringLiteral("Open readme"), yesNoNoByDefault);
        if (answer != MessageAnswer::Yes)
            return;
    }
    const PresetRecord presets =
        readPresets(context.platform.applicationFolder(), context.platform.userConfigFolder());
    putIntoWizard(context.navigation, context, readmeValues(readme, now, presets));
    context.navigation.wizardReplaced();
    context.readmeFile = QFileInfo(path).absoluteFilePath();
    context.readmeEncoding = keptEncoding(readme);
    context.valuesAtFile = wizardValues(context.navigation, context);
    showReadmeFileInTitles(context.navigation, context);
    nameBox->setFocus();
}

// Offers what the project in a chosen folder says about itself; the
// folder dialog starts in the folder chosen last, or the documents folder.
void GeneralInfoScreen::openProjectFolder()
{
    folderDialog.title = QStringLiteral("From project folder");
    folderDialog.initialFolder = context.platform.documentsFolder();
    if (const std::optional<QString> folder = context.platform.folderDialog(this, folderDialog))
        showProjectFacts(*folder);
}

void GeneralInfoScreen::showProjectFacts(const QString &folder)
{
    context.projectFolder = QFileInfo(folder).absoluteFilePath();
    context.projectFacts = readProjectFacts(context.projectFolder);
    context.navigation.change(this, ScreenId::Facts);
}

void GeneralInfoScreen::exitFromMenu()
{
    askToExit();
}

void GeneralInfoScreen::switchTooltips()
{
    // Qt has already inverted the check mark; read it back.
    context.tooltipsOn = tooltipsAction->isChecked();
}

void GeneralInfoScreen::showViewer()
{
    context.navigation.change(this, ScreenId::View);
}

void GeneralInfoScreen::showPreview()
{
    showPreviewFrom(this, context, ScreenId::Main);
}

void GeneralInfoScreen::showHelp()
{
    context.help.showContents(context.platform);
}

}  // namespace velmora
