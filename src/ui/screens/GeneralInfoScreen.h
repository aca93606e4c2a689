#pragma once

#include "ui/screens/PresetFill.h"
#include "ui/toolkit/Platform.h"
#include "ui/toolkit/Screen.h"

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
class GeneralInfoScreen : public Screen {
    Q_OBJECT
public:
    explicit GeneralInfoScreen(AppContext &context);

    void load() override;
    void activate() override;

    QStringList compatibleSystems() const;

    // This screen's share of the wizard's values: what it holds, and the
    // same put back as if typed.
    void collectValues(WizardValues &values) const;
    void putValues(const WizardValues &values);

    // File > Open readme with that file chosen: a readme the program wrote
    // back into the wizard, after the question over what was typed; a file
    // out of the layout shows the same box.
    void openReadmeFile(const QString &path);
    // The facts of the project in folder, shown for the user to pick from.
    void showProjectFacts(const QString &folder);

protected:
    AppContext &context;

    void closeRequested() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void next();
    void clear();
    void askToExit();
    void pickType();
    void moveToCompatible();
    void moveBackToOsList();
    void addOwnSystem();
    void removeOwnSystem();
    void updateSystemButtons();
    void showOsListTip();
    void showTypeTip();
    void showPresets();
    void openReadme();
    void openProjectFolder();
    void exitFromMenu();
    void switchTooltips();
    void showViewer();
    void showPreview();
    void showHelp();

private:
    QLabel *titleLabel, *nameLabel, *versionLabel, *companyLabel, *webLabel, *languageLabel, *filesNeededLabel,
        *osListLabel, *compatibleLabel, *typeLabel, *ownSystemLabel;
    QLineEdit *nameBox, *versionBox, *companyBox, *webBox, *languageBox, *ownSystemBox;
    look::MultiLineBox *filesNeededBox;
    QListWidget *osList, *compatibleList, *typeList;
    QPushButton *addSystemButton, *removeSystemButton, *clearButton, *nextButton, *exitButton;
    // The systems this user added to the OS list, as remembered.
    QStringList ownSystems;

    QMenuBar *menuBar;
    QMenu *fileMenu, *toolsMenu, *helpMenu;
    QAction *constantsAction, *openAction, *projectAction, *fileSeparator, *exitAction, *tooltipsAction, *toolsSeparator,
        *viewAction, *previewAction, *contentsAction;
    FileDialog openDialog;  // the Open dialog of File > Open readme
    FileDialog folderDialog;  // the folder dialog of File > From project folder

    void buildMenu();
    bool listKeyPressed(QListWidget *list, QKeyEvent *event);
    void rememberOwnSystems();

    PresetFill companyFill, webFill, languageFill, needFill;
};

}  // namespace velmora
