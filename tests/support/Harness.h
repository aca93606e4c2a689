#pragma once

// Controls.h brings the screens and their controls' Qt classes.
#include "Controls.h"
#include "FileTools.h"
#include "ScriptedPlatform.h"
#include "ui/app/Navigator.h"

#include <QTest>
#include <memory>

namespace velmora::test {

inline const QByteArray emptyPresets = QByteArrayLiteral("\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
// The presets of the walk-through readme (tests/data/readme_walkthrough.txt).
inline const QByteArray acmePresets = QByteArrayLiteral(
    "\"Acme Tools\",\"https://acme.example\",\"English, German\",\"acme.dll\",\"Ann Author\","
    "\"ann@acme.example\"\r\n");
// Other presets, saved while the program runs.
inline const QByteArray newerPresets = QByteArrayLiteral(
    "\"Newer Co\",\"newer.example\",\"Dutch\",\"newer.dll\",\"Nina Newer\",\"nina@newer.example\"\r\n");

// The whole program on the scripted platform, with its application folder in
// a fresh temporary folder that holds presets.txt.
class Harness {
public:
    explicit Harness(const QByteArray &presets = emptyPresets)
        : platform(dir.path()), navigator(std::make_unique<Navigator>(platform))
    {
        writePresets(presets);
    }

    QString folder() const { return dir.path(); }
    QString path(const QString &name) const { return dir.filePath(name); }
    QString presetsPath() const { return path(QStringLiteral("presets.txt")); }
    void writePresets(const QByteArray &bytes) const { QVERIFY(writeFile(presetsPath(), bytes)); }
    AppContext &context() { return navigator->context(); }

    // Starts the program and lets the splash's twenty ticks run at once.
    GeneralInfoScreen *start();

    // The screens, or null before their first showing.
    GeneralInfoScreen *main() const { return static_cast<GeneralInfoScreen *>(navigator->screen(ScreenId::Main)); }
    ProgramInfoScreen *program() const { return static_cast<ProgramInfoScreen *>(navigator->screen(ScreenId::Program)); }
    AuthorScreen *author() const { return static_cast<AuthorScreen *>(navigator->screen(ScreenId::Author)); }
    PresetsScreen *presets() const { return static_cast<PresetsScreen *>(navigator->screen(ScreenId::Preset)); }
    ViewerScreen *viewer() const { return static_cast<ViewerScreen *>(navigator->screen(ScreenId::View)); }
    PreviewScreen *preview() const { return static_cast<PreviewScreen *>(navigator->screen(ScreenId::Preview)); }

    // The ways between the screens, as a person takes them.
    ProgramInfoScreen *toProgram();  // Next on the main screen
    AuthorScreen *toAuthor();    // Next, then Next on the program screen
    PresetsScreen *toPresets();   // File > Constants
    ViewerScreen *toViewer(const std::optional<QString> &firstOpen);  // Tools > View, the dialog answered

    // Every box of the three wizard screens typed as a person types, the
    // type picked and two systems moved: the walk-through readme
    // (tests/data/readme_walkthrough.txt, with acmePresets), up to the
    // author screen.
    AuthorScreen *walkToAuthor();

    // The file that Create File writes when the Save dialog answers path,
    // with the filter given chosen (none: the one left chosen).
    QByteArray createFile(const QString &path, const QString &filter = {});
    // File > Open readme, the Open dialog answered (nothing: Cancel).
    void openReadme(const std::optional<QString> &path);
    PreviewScreen *toPreview();  // Tools > Preview
    // File > From project folder, the folder dialog answered with folder.
    ProjectFactsScreen *toProjectFacts(const QString &folder);
    ProjectFactsScreen *projectFacts() const { return static_cast<ProjectFactsScreen *>(navigator->screen(ScreenId::Facts)); }

    QTemporaryDir dir;
    ScriptedPlatform platform;
    std::unique_ptr<Navigator> navigator;  // last, so ended first
};

// The fixture of a screens suite: every test function gets the program anew
// (init: fresh folder with empty presets, nothing shown yet), and it is ended
// after the function (cleanup). A test writes its presets, then start()s.
class ProgramSuite : public QObject {
    Q_OBJECT
protected:
    std::unique_ptr<Harness> h;
    GeneralInfoScreen *start(const QByteArray &presets = emptyPresets)
    {
        h->writePresets(presets);
        return h->start();
    }

protected slots:
    void init() { h = std::make_unique<Harness>(); }
    void cleanup() { h.reset(); }
};

// Counts the events of one type that reach an object.
class EventCounter : public QObject {
public:
    EventCounter(QObject *target, QEvent::Type type) : type(type) { target->installEventFilter(this); }
    const QEvent::Type type;
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == type;
        return false;
    }
};

QStringList entries(const QListWidget *list);
int rowOf(const QListWidget *list, const QString &text);
// A person's click, and double-click, on a row: it is scrolled into view,
// clicked, then double-clicked at the same point.
void clickRow(QListWidget *list, int row);
void doubleClickRow(QListWidget *list, int row);
// A click on the down (or up) arrow of a list's scroll bar.
void clickArrow(QListWidget *list, bool down);
// Lines typed into a multi-line box, Return between them.
void typeLines(QPlainTextEdit *box, const QStringList &lines);
// Text put on the clipboard and pasted with Ctrl+V.
void paste(QWidget *box, const QString &text);
// A box's text replaced as a person does: all of it selected with Ctrl+A,
// then typed over (nothing to type: deleted).
void retype(QWidget *box, const QString &text);

}  // namespace velmora::test
