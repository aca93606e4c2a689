#include "screens/frmMain.h"

#include "toolkit/Look.h"
#include "toolkit/TextBoxes.h"
#include "toolkit/Platform.h"
#include "presets/PresetsFile.h"
#include "readme/ReadmeReading.h"
#include "screens/AppContext.h"
#include "screens/Wizard.h"
#include "toolkit/ScreenTools.h"

#include <QAction>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace velmora {

using namespace look;

namespace {

const QString compatTip = QStringLiteral("Double-click the OS(s) that are compatible with your program");
const QString typeTip = QStringLiteral("Be sure to click an item (it will be highlited)");

// Moves the selected entry of source to the end of target and removes every
// entry of the same text from source; no selection is left in source.
void transfer(QListWidget *source, QListWidget *target)
{
    const QList<QListWidgetItem *> selected = source->selectedItems();
    const QString text = selected.isEmpty() ? QString() : selected.first()->text();
    if (text.isEmpty())
        return;
    target->addItem(text);
    for (int row = source->count() - 1; row >= 0; --row) {
        if (source->item(row)->text() == text)
            delete source->takeItem(row);
    }
    source->setCurrentItem(nullptr);
}

}  // namespace

frmMain::frmMain(AppContext &context)
    : Screen(QStringLiteral("Velmora"), 5775, 5550), ctx(context)
{
    QWidget *c = client();
    //                                              left  top   width height limit
    lblMTitle   = heading(c, "General Info:",        120, 120, darkBlue());
    lblMName    = label(c, "Name:",                  420, 480);
    txtMName    = lineBox(c,                         960, 480, 3015, 285, 40);
    lblMVer     = label(c, "Version:",               300, 840);
    txtMVer     = lineBox(c,                         960, 840,  735, 285, 7);
    lblMCompany = label(c, "Company:",               150, 1200);
    txtMCompany = lineBox(c,                         960, 1200, 3015, 285, 40);
    lblMWeb     = label(c, "Web site:",              195, 1560);
    txtMWeb     = lineBox(c,                         960, 1560, 3735, 285);
    lblMNeeded  = label(c, "Language:",              120, 1920);
    txtMLanguage = lineBox(c,                        960, 1920, 3015, 285);
    lblMNeed    = label(c, "Files needed:",          120, 2640);
    txtMNeed    = new MultiLineBox(c,               1200, 2640, 3495, 285);
    lblMNcompat = heading(c, "OS list:",             120, 3360, darkBlue());
    lstMNCompat = listBox(c,                         120, 3600, 1695, 1035);
    lblMCompat  = heading(c, "(compatible list)",   2040, 3360, darkBlue(), false);
    lstMCompat  = listBox(c,                        2040, 3600, 1695, 1035);
    lblMType    = heading(c, "Type: ",              4200, 3360, darkBlue());
    lstMType    = listBox(c,                        4200, 3600, 1335, 255);
    cmdMClear   = button(c, "Clear",                2400, 5040, 975, 375);
    cmdMNext    = button(c, "Next",                 3480, 5040, 975, 375);
    cmdMExit    = button(c, "Exit",                 4680, 5040, 975, 375);

    horizontalSeparator(c, 120, 5640, 2400, 2415);
    horizontalSeparator(c, 120, 5640, 3120, 3135);
    horizontalSeparator(c, 120, 5640, 4800, 4815);
    verticalSeparator(c, 3960, 3970, 3600, 4560);

    lstMNCompat->addItems(startingSystems());
    lstMType->addItems({"Demo", "Freeware", "ShareWare", "UpDate"});
    showOneRowAtATime(lstMType);
    lstMNCompat->setCursor(Qt::PointingHandCursor);
    lstMType->setCursor(Qt::PointingHandCursor);

    nameBy(lblMName, txtMName);
    nameBy(lblMVer, txtMVer);
    nameBy(lblMCompany, txtMCompany);
    nameBy(lblMWeb, txtMWeb);
    nameBy(lblMNeeded, txtMLanguage);
    nameBy(lblMNeed, txtMNeed);
    nameBy(lblMNcompat, lstMNCompat);
    nameBy(lblMCompat, lstMCompat);
    nameBy(lblMType, lstMType);

    setTabOrderChain({txtMName, txtMVer, txtMCompany, txtMWeb, txtMLanguage, txtMNeed,
                      lstMNCompat, lstMType, cmdMClear, cmdMNext, cmdMExit, lstMCompat});

    connect(cmdMNext, &QPushButton::clicked, this, &frmMain::cmdMNext_Click);
    connect(cmdMClear, &QPushButton::clicked, this, &frmMain::cmdMClear_Click);
    connect(cmdMExit, &QPushButton::clicked, this, &frmMain::cmdMExit_Click);
    connect(lstMType, &QListWidget::itemSelectionChanged, this, &frmMain::lstMType_Click);
    connect(lstMNCompat, &QListWidget::itemDoubleClicked, this, &frmMain::lstMNCompat_DblClick);
    connect(lstMCompat, &QListWidget::itemDoubleClicked, this, &frmMain::lstMCompat_DblClick);

    txtMVer->installEventFilter(this);
    lstMNCompat->installEventFilter(this);
    lstMCompat->installEventFilter(this);
    watchPointer(lstMNCompat, this);
    watchPointer(lstMType, this);

    buildMenu();
    ctx.mainScreen = this;
}

void frmMain::buildMenu()
{
    menuBar = new QMenuBar(this);
    mnuMFile = menuBar->addMenu("&File");
    mnuMFConstants = mnuMFile->addAction("Constants");
    mnuMFOpen = mnuMFile->addAction(QStringLiteral("&Open readme\u2026"));
    mnuMFOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuMFSlash = mnuMFile->addSeparator();
    mnuMFExit = mnuMFile->addAction("E&xit");
    mnuMTools = menuBar->addMenu("&Tools");
    mnuMTTips = mnuMTools->addAction("Tooltips");
    mnuMTTips->setCheckable(true);
    mnuMTSlash = mnuMTools->addSeparator();
    mnuMTView = mnuMTools->addAction("View");
    mnuMTPreview = mnuMTools->addAction("&Preview");
    mnuMHelp = menuBar->addMenu("&Help");
    mnuMHContents = mnuMHelp->addAction("Contents");
    setMenuBar(menuBar);

    connect(mnuMFConstants, &QAction::triggered, this, &frmMain::mnuMFConstants_Click);
    connect(mnuMFOpen, &QAction::triggered, this, &frmMain::mnuMFOpen_Click);
    connect(mnuMFExit, &QAction::triggered, this, &frmMain::mnuMFExit_Click);
    connect(mnuMTTips, &QAction::triggered, this, &frmMain::mnuMTTips_Click);
    connect(mnuMTView, &QAction::triggered, this, &frmMain::mnuMTView_Click);
    connect(mnuMTPreview, &QAction::triggered, this, &frmMain::mnuMTPreview_Click);
    connect(mnuMHContents, &QAction::triggered, this, &frmMain::mnuMHContents_Click);
}

void frmMain::Form_Load()
{
    ctx.help.BindHelpFile(this, ctx.platform.applicationFolder());
}

void frmMain::Form_Activate()
{
    const PresetRecord presets =
        ReadPresets(ctx.platform.applicationFolder(), ctx.platform.userConfigFolder());
    companyFill.fill(txtMCompany, presets.companyName);
    webFill.fill(txtMWeb, presets.webSite);
    languageFill.fill(txtMLanguage, presets.languages);
    needFill.fill(txtMNeed, presets.neededFiles);
    txtMName->setFocus();
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

QStringList frmMain::compatibleSystems() const
{
    return entriesOf(lstMCompat);
}

void frmMain::collectValues(WizardValues &values) const
{
    values.name = txtMName->text();
    values.version = txtMVer->text();
    values.company = companyFill.valueOf(txtMCompany->text());
    values.webSite = webFill.valueOf(txtMWeb->text());
    values.language = languageFill.valueOf(txtMLanguage->text());
    values.filesNeeded = needFill.valueOf(txtMNeed->text());
    values.otherSystems = entriesOf(lstMNCompat);
    values.compatibleSystems = entriesOf(lstMCompat);
    const QList<QListWidgetItem *> picked = lstMType->selectedItems();
    values.type = picked.isEmpty() ? QString() : picked.first()->text();
}

void frmMain::putValues(const WizardValues &values)
{
    fillFromStart(txtMName, values.name);
    fillFromStart(txtMVer, values.version);
    fillFromStart(txtMCompany, values.company.text);
    fillFromStart(txtMWeb, values.webSite.text);
    fillFromStart(txtMLanguage, values.language.text);
    txtMNeed->setText(values.filesNeeded.text);
    companyFill.remember(values.company.filled);
    webFill.remember(values.webSite.filled);
    languageFill.remember(values.language.filled);
    needFill.remember(values.filesNeeded.filled);
    lstMNCompat->clear();
    lstMNCompat->addItems(values.otherSystems);
    lstMCompat->clear();
    lstMCompat->addItems(values.compatibleSystems);
    const QList<QListWidgetItem *> types = lstMType->findItems(values.type, Qt::MatchExactly);
    if (values.type.isEmpty() || types.isEmpty()) {
        lstMType->clearSelection();
    } else {
        lstMType->setCurrentItem(types.first());
        lstMType->scrollToItem(types.first());
    }
}

void frmMain::cmdMNext_Click()
{
    ReadmeRecord &r = ctx.record;
    r.programName = txtMName->text();
    r.version = txtMVer->text();
    r.company = txtMCompany->text();
    r.webSite = txtMWeb->text();
    r.language = txtMLanguage->text();
    r.filesNeeded = txtMNeed->text();
    ctx.navigation.change(this, ScreenId::Program);
}

void frmMain::cmdMClear_Click()
{
    clearTextBoxes(this);
    // The compatible systems go back to the end of the OS list, in order.
    while (lstMCompat->count() > 0)
        lstMNCompat->addItem(lstMCompat->takeItem(0));
    txtMName->setFocus();
}

void frmMain::cmdMExit_Click()
{
    const MessageAnswer answer = ctx.platform.messageBox(
        this, QStringLiteral("You have indicated you wish to\r\nexit the program. Is this correct?"),
        QStringLiteral("Exit?"), MessageStyle::YesNoQuestion);
    if (answer == MessageAnswer::Yes)
        ctx.navigation.endProgram();
}

void frmMain::closeRequested()
{
    cmdMExit_Click();
}

void frmMain::txtMVer_KeyPress(short &keyAscii)
{
    const bool digit = keyAscii >= 48 && keyAscii <= 57;
    if (!(keyAscii == 8 || keyAscii == 46 || digit))
        keyAscii = 0;
}

void frmMain::lstMType_Click()
{
    const QList<QListWidgetItem *> selected = lstMType->selectedItems();
    if (!selected.isEmpty())
        ctx.record.programType = selected.first()->text();
}

void frmMain::lstMNCompat_DblClick()
{
    transfer(lstMNCompat, lstMCompat);
}

void frmMain::lstMCompat_DblClick()
{
    transfer(lstMCompat, lstMNCompat);
}

void frmMain::lstMNCompat_MouseMove()
{
    lstMNCompat->setToolTip(ctx.tooltipsWanted() ? compatTip : QString());
}

void frmMain::lstMType_MouseMove()
{
    lstMType->setToolTip(ctx.tooltipsWanted() ? typeTip : QString());
}

// Return, Enter and Space on the current row move it, as a double-click
// does; Ctrl+Space still marks the row the Qt way.
bool frmMain::listKeyPressed(QListWidget *list, QKeyEvent *event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool moves = (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)
                       && mods == Qt::NoModifier;
    if (!moves)
        return false;
    if (QListWidgetItem *row = list->currentItem()) {
        list->setCurrentItem(row);  // the row the key is on is the one moved
        if (list == lstMNCompat)
            lstMNCompat_DblClick();
        else
            lstMCompat_DblClick();
    }
    return true;
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == lstMNCompat || watched == lstMCompat) && event->type() == QEvent::KeyPress)
        return listKeyPressed(static_cast<QListWidget *>(watched), static_cast<QKeyEvent *>(event));
    if (watched == txtMVer && event->type() == QEvent::KeyPress) {
        const std::optional<int> typed = typedCharacterCode(*static_cast<QKeyEvent *>(event));
        if (!typed)
            return false;  // a key that types no character
        short code = static_cast<short>(*typed);
        txtMVer_KeyPress(code);
        return code == 0;
    }
    if (event->type() == QEvent::MouseMove) {
        if (watched == lstMNCompat->viewport())
            lstMNCompat_MouseMove();
        else if (watched == lstMType->viewport())
            lstMType_MouseMove();
    }
    if (event->type() == QEvent::ToolTip) {
        if (watched == lstMNCompat->viewport())
            return showOwnToolTip(lstMNCompat, event);
        if (watched == lstMType->viewport())
            return showOwnToolTip(lstMType, event);
    }
    return Screen::eventFilter(watched, event);
}

void frmMain::mnuMFConstants_Click()
{
    ctx.navigation.change(this, ScreenId::Preset);
}

// Puts a readme written earlier back into the wizard, as if typed, so that
// the next release's readme starts from it.
void frmMain::mnuMFOpen_Click()
{
    const std::optional<QString> path = askForFile(
        ctx.platform, this, dlgMain, FileDialogKind::Open, QStringLiteral("Open readme"),
        {QStringLiteral("Readme (*.txt *.md)"), QStringLiteral("All files (*)")});
    if (!path)
        return;  // Cancel changes nothing and says nothing
    const RecognisedReadme readme = recogniseReadmeFile(*path);
    if (!readme.recognised) {
        ctx.platform.messageBox(this, notRecognisedMessage(readme), QStringLiteral("Open readme"),
                                MessageStyle::OkExclamation);
        return;
    }
    const PresetRecord presets =
        ReadPresets(ctx.platform.applicationFolder(), ctx.platform.userConfigFolder());
    putIntoWizard(ctx.navigation, ctx, readmeValues(readme, wizardValues(ctx.navigation, ctx), presets));
    ctx.navigation.wizardReplaced();
    txtMName->setFocus();
}

void frmMain::mnuMFExit_Click()
{
    cmdMExit_Click();
}

void frmMain::mnuMTTips_Click()
{
    // Qt has already inverted the check mark; read it back.
    ctx.TooltipsOn = mnuMTTips->isChecked() ? QStringLiteral("yes") : QStringLiteral("no");
}

void frmMain::mnuMTView_Click()
{
    ctx.navigation.change(this, ScreenId::View);
}

void frmMain::mnuMTPreview_Click()
{
    ctx.navigation.change(this, ScreenId::Preview);
}

void frmMain::mnuMHContents_Click()
{
    ctx.help.ShowHelpContents(ctx.platform);
}

}  // namespace velmora
