#pragma once

#include "screens/PresetFill.h"
#include "toolkit/Platform.h"
#include "toolkit/Screen.h"

#include <QStringList>

class QAction;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPushButton;

namespace velmora {

struct AppContext;

namespace look {
class MultiLineBox;
}

// The general-info screen: the first wizard screen and the main window, with
// the program's menu bar.
class frmMain : public Screen {
    Q_OBJECT
public:
    explicit frmMain(AppContext &context);

    void Form_Load() override;
    void Form_Activate() override;

    QStringList compatibleSystems() const;

    // This screen's share of the wizard's values: what it holds, and the
    // same put back as if typed.
    void collectValues(WizardValues &values) const;
    void putValues(const WizardValues &values);

    // Filters one typed character code; setting it to 0 discards it.
    static void txtMVer_KeyPress(short &keyAscii);

    QLabel *lblMTitle, *lblMName, *lblMVer, *lblMCompany, *lblMWeb, *lblMNeeded, *lblMNeed,
        *lblMNcompat, *lblMCompat, *lblMType;
    QLineEdit *txtMName, *txtMVer, *txtMCompany, *txtMWeb, *txtMLanguage;
    look::MultiLineBox *txtMNeed;
    QListWidget *lstMNCompat, *lstMCompat, *lstMType;
    QPushButton *cmdMClear, *cmdMNext, *cmdMExit;

    QMenuBar *menuBar;
    QMenu *mnuMFile, *mnuMTools, *mnuMHelp;
    QAction *mnuMFConstants, *mnuMFOpen, *mnuMFSlash, *mnuMFExit, *mnuMTTips, *mnuMTSlash,
        *mnuMTView, *mnuMTPreview, *mnuMHContents;
    FileDialog dlgMain;  // the Open dialog of File > Open readme

protected:
    AppContext &ctx;

    void closeRequested() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void cmdMNext_Click();
    void cmdMClear_Click();
    void cmdMExit_Click();
    void lstMType_Click();
    void lstMNCompat_DblClick();
    void lstMCompat_DblClick();
    void lstMNCompat_MouseMove();
    void lstMType_MouseMove();
    void mnuMFConstants_Click();
    void mnuMFOpen_Click();
    void mnuMFExit_Click();
    void mnuMTTips_Click();
    void mnuMTView_Click();
    void mnuMTPreview_Click();
    void mnuMHContents_Click();

private:
    void buildMenu();
    bool listKeyPressed(QListWidget *list, QKeyEvent *event);

    PresetFill companyFill, webFill, languageFill, needFill;
};

}  // namespace velmora
