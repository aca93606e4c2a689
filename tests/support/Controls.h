#pragma once

// The controls of each screen, found as a screen reader finds them: by the
// name it reads out (a box by its label without the colon, a button by its
// caption, a menu entry by its text). A screen's widgets are its own; the
// tests reach them only this way, so a control that loses its name, or two
// that share one, fails every test that uses it.

#include "ui/app/SplashScreen.h"
#include "ui/screens/AuthorScreen.h"
#include "ui/screens/GeneralInfoScreen.h"
#include "ui/screens/PresetsScreen.h"
#include "ui/screens/PreviewScreen.h"
#include "ui/screens/ProgramInfoScreen.h"
#include "ui/screens/ViewerScreen.h"
#include "ui/toolkit/TextBoxes.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <typeinfo>

namespace velmora::test {

// What a screen reader reads as the widget's name.
QString spokenName(QWidget *widget);

// The one control of type T on screen whose spoken name is name; none, or
// more than one, ends the test run with a message naming it.
QWidget *findControl(QWidget *screen, const QString &name, const char *type,
                     bool (*isType)(QWidget *));
template <class T>
T *control(QWidget *screen, const QString &name)
{
    return static_cast<T *>(findControl(screen, name, typeid(T).name(),
                                        [](QWidget *w) { return dynamic_cast<T *>(w) != nullptr; }));
}

// The menu of that title in the window's menu bar, and the entry of that
// text (access-key marks left out) in a menu.
QMenu *menuOf(QWidget *window, const QString &title);
QAction *entryOf(QMenu *menu, const QString &text);

struct GeneralInfoControls {
    explicit GeneralInfoControls(QWidget *s)
        : nameBox(control<QLineEdit>(s, "Name")),
          versionBox(control<QLineEdit>(s, "Version")),
          companyBox(control<QLineEdit>(s, "Company")),
          webBox(control<QLineEdit>(s, "Web site")),
          languageBox(control<QLineEdit>(s, "Language")),
          filesNeededBox(control<look::MultiLineBox>(s, "Files needed")),
          osList(control<QListWidget>(s, "OS list")),
          compatibleList(control<QListWidget>(s, "(compatible list)")),
          typeList(control<QListWidget>(s, "Type")),
          clearButton(control<QPushButton>(s, "Clear")),
          nextButton(control<QPushButton>(s, "Next")),
          exitButton(control<QPushButton>(s, "Exit")),
          fileMenu(menuOf(s, "File")),
          toolsMenu(menuOf(s, "Tools")),
          helpMenu(menuOf(s, "Help")),
          constantsAction(entryOf(fileMenu, "Constants")),
          openAction(entryOf(fileMenu, "Open readme\u2026")),
          exitAction(entryOf(fileMenu, "Exit")),
          tooltipsAction(entryOf(toolsMenu, "Tooltips")),
          viewAction(entryOf(toolsMenu, "View")),
          previewAction(entryOf(toolsMenu, "Preview")),
          contentsAction(entryOf(helpMenu, "Contents"))
    {
    }
    QLineEdit *nameBox, *versionBox, *companyBox, *webBox, *languageBox;
    look::MultiLineBox *filesNeededBox;
    QListWidget *osList, *compatibleList, *typeList;
    QPushButton *clearButton, *nextButton, *exitButton;
    QMenu *fileMenu, *toolsMenu, *helpMenu;
    QAction *constantsAction, *openAction, *exitAction, *tooltipsAction, *viewAction,
        *previewAction, *contentsAction;
};

struct ProgramInfoControls {
    explicit ProgramInfoControls(QWidget *s)
        : descriptionBox(control<look::MultiLineBox>(s, "Description")),
          instructionsBox(control<look::MultiLineBox>(s, "Instructions")),
          featuresBox(control<look::MultiLineBox>(s, "Features")),
          additionsBox(control<look::MultiLineBox>(s, "Additional Features")),
          newAdditionsBox(control<look::MultiLineBox>(s, "New Features")),
          clearButton(control<QPushButton>(s, "Clear")),
          nextButton(control<QPushButton>(s, "Next")),
          mainButton(control<QPushButton>(s, "Main"))
    {
    }
    look::MultiLineBox *descriptionBox, *instructionsBox, *featuresBox, *additionsBox,
        *newAdditionsBox;
    QPushButton *clearButton, *nextButton, *mainButton;
};

struct AuthorControls {
    explicit AuthorControls(QWidget *s)
        : nameBox(control<QLineEdit>(s, "Name")),
          emailBox(control<QLineEdit>(s, "EMail")),
          clearButton(control<QPushButton>(s, "Clear")),
          createButton(control<QPushButton>(s, "Create File")),
          mainButton(control<QPushButton>(s, "Main"))
    {
    }
    QLineEdit *nameBox, *emailBox;
    QPushButton *clearButton, *createButton, *mainButton;
};

struct PresetsControls {
    explicit PresetsControls(QWidget *s)
        : companyBox(control<QLineEdit>(s, "Company name")),
          webBox(control<QLineEdit>(s, "Web site")),
          languageBox(control<look::MultiLineBox>(s, "Language(s)")),
          filesNeededBox(control<look::MultiLineBox>(s, "Needed files")),
          authorNameBox(control<QLineEdit>(s, "Authors' name")),
          emailBox(control<QLineEdit>(s, "Authors' email")),
          clearButton(control<QPushButton>(s, "Clear")),
          setButton(control<QPushButton>(s, "Set")),
          mainButton(control<QPushButton>(s, "Main"))
    {
    }
    QLineEdit *companyBox, *webBox;
    look::MultiLineBox *languageBox, *filesNeededBox;
    QLineEdit *authorNameBox, *emailBox;
    QPushButton *clearButton, *setButton, *mainButton;
};

struct ViewerControls {
    explicit ViewerControls(QWidget *s)
        : textBox(control<look::MultiLineBox>(s, "View")),
          clearButton(control<QPushButton>(s, "Clear")),
          anotherButton(control<QPushButton>(s, "Another")),
          mainButton(control<QPushButton>(s, "Main"))
    {
    }
    look::MultiLineBox *textBox;
    QPushButton *clearButton, *anotherButton, *mainButton;
};

struct PreviewControls {
    explicit PreviewControls(QWidget *s)
        : textBox(control<look::MultiLineBox>(s, "Preview")),
          mainButton(control<QPushButton>(s, "Main"))
    {
    }
    look::MultiLineBox *textBox;
    QPushButton *mainButton;
};

struct SplashControls {
    explicit SplashControls(QWidget *s)
        : progressBar(s->findChild<QProgressBar *>()), timer(s->findChild<QTimer *>())
    {
    }
    QProgressBar *progressBar;
    QTimer *timer;
};

inline GeneralInfoControls ui(GeneralInfoScreen *s) { return GeneralInfoControls(s); }
inline ProgramInfoControls ui(ProgramInfoScreen *s) { return ProgramInfoControls(s); }
inline AuthorControls ui(AuthorScreen *s) { return AuthorControls(s); }
inline PresetsControls ui(PresetsScreen *s) { return PresetsControls(s); }
inline ViewerControls ui(ViewerScreen *s) { return ViewerControls(s); }
inline PreviewControls ui(PreviewScreen *s) { return PreviewControls(s); }
inline SplashControls ui(SplashScreen *s) { return SplashControls(s); }

}  // namespace velmora::test
