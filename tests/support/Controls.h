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
#include "ui/screens/ProjectFactsScreen.h"
#include "ui/screens/ViewerScreen.h"
#include "ui/toolkit/Input.h"

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

// The buttons of the same caption on several screens: Clear (all but the
// preview), Main (all but the main screen), Next (the main and program
// screens).
template <class S> QPushButton *clearButton(S *s) { return control<QPushButton>(s, "Clear"); }
template <class S> QPushButton *mainButton(S *s) { return control<QPushButton>(s, "Main"); }
template <class S> QPushButton *nextButton(S *s) { return control<QPushButton>(s, "Next"); }

// GeneralInfoScreen
inline QLineEdit *nameBox(GeneralInfoScreen *s) { return control<QLineEdit>(s, "Name"); }
inline QLineEdit *versionBox(GeneralInfoScreen *s) { return control<QLineEdit>(s, "Version"); }
inline QLineEdit *companyBox(GeneralInfoScreen *s) { return control<QLineEdit>(s, "Company"); }
inline QLineEdit *webBox(GeneralInfoScreen *s) { return control<QLineEdit>(s, "Web site"); }
inline QLineEdit *languageBox(GeneralInfoScreen *s) { return control<QLineEdit>(s, "Language"); }
inline look::MultiLineBox *filesNeededBox(GeneralInfoScreen *s) { return control<look::MultiLineBox>(s, "Files needed"); }
inline QListWidget *osList(GeneralInfoScreen *s) { return control<QListWidget>(s, "OS list"); }
inline QListWidget *compatibleList(GeneralInfoScreen *s) { return control<QListWidget>(s, "(compatible list)"); }
inline QListWidget *typeList(GeneralInfoScreen *s) { return control<QListWidget>(s, "Type"); }
inline QPushButton *exitButton(GeneralInfoScreen *s) { return control<QPushButton>(s, "Exit"); }

// ProgramInfoScreen
inline look::MultiLineBox *descriptionBox(ProgramInfoScreen *s) { return control<look::MultiLineBox>(s, "Description"); }
inline look::MultiLineBox *instructionsBox(ProgramInfoScreen *s) { return control<look::MultiLineBox>(s, "Instructions"); }
inline look::MultiLineBox *featuresBox(ProgramInfoScreen *s) { return control<look::MultiLineBox>(s, "Features"); }
inline look::MultiLineBox *additionsBox(ProgramInfoScreen *s) { return control<look::MultiLineBox>(s, "Additional Features"); }
inline look::MultiLineBox *newAdditionsBox(ProgramInfoScreen *s) { return control<look::MultiLineBox>(s, "New Features"); }

// AuthorScreen
inline QLineEdit *nameBox(AuthorScreen *s) { return control<QLineEdit>(s, "Name"); }
inline QLineEdit *emailBox(AuthorScreen *s) { return control<QLineEdit>(s, "EMail"); }
inline QPushButton *createButton(AuthorScreen *s) { return control<QPushButton>(s, "Create File"); }

// PresetsScreen
inline QLineEdit *companyBox(PresetsScreen *s) { return control<QLineEdit>(s, "Company name"); }
inline QLineEdit *webBox(PresetsScreen *s) { return control<QLineEdit>(s, "Web site"); }
inline look::MultiLineBox *languageBox(PresetsScreen *s) { return control<look::MultiLineBox>(s, "Language(s)"); }
inline look::MultiLineBox *filesNeededBox(PresetsScreen *s) { return control<look::MultiLineBox>(s, "Needed files"); }
inline QLineEdit *authorNameBox(PresetsScreen *s) { return control<QLineEdit>(s, "Authors' name"); }
inline QLineEdit *emailBox(PresetsScreen *s) { return control<QLineEdit>(s, "Authors' email"); }
inline QPushButton *setButton(PresetsScreen *s) { return control<QPushButton>(s, "Set"); }

// ViewerScreen
inline look::MultiLineBox *textBox(ViewerScreen *s) { return control<look::MultiLineBox>(s, "View"); }
inline QPushButton *anotherButton(ViewerScreen *s) { return control<QPushButton>(s, "Another"); }

// PreviewScreen
inline look::MultiLineBox *textBox(PreviewScreen *s) { return control<look::MultiLineBox>(s, "Preview"); }

// GeneralInfoScreen's menus
inline QMenu *fileMenu(GeneralInfoScreen *s) { return menuOf(s, "File"); }
inline QMenu *toolsMenu(GeneralInfoScreen *s) { return menuOf(s, "Tools"); }
inline QMenu *helpMenu(GeneralInfoScreen *s) { return menuOf(s, "Help"); }
inline QAction *constantsAction(GeneralInfoScreen *s) { return entryOf(fileMenu(s), "Constants"); }
inline QAction *openAction(GeneralInfoScreen *s) { return entryOf(fileMenu(s), "Open readme\u2026"); }
inline QAction *projectAction(GeneralInfoScreen *s) { return entryOf(fileMenu(s), "From project folder\u2026"); }
inline QAction *tooltipsAction(GeneralInfoScreen *s) { return entryOf(toolsMenu(s), "Tooltips"); }
inline QAction *viewAction(GeneralInfoScreen *s) { return entryOf(toolsMenu(s), "View"); }
inline QAction *previewAction(GeneralInfoScreen *s) { return entryOf(toolsMenu(s), "Preview"); }
inline QAction *contentsAction(GeneralInfoScreen *s) { return entryOf(helpMenu(s), "Contents"); }

// SplashScreen: no names to read; one bar and one timer
inline QProgressBar *progressBar(SplashScreen *s) { return s->findChild<QProgressBar *>(); }
inline QTimer *timer(SplashScreen *s) { return s->findChild<QTimer *>(); }

}  // namespace velmora::test
