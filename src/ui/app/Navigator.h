#pragma once

#include "ui/drafts/DraftKeeper.h"
#include "ui/screens/AppContext.h"
#include "ui/screens/Navigation.h"
#include "ui/toolkit/Screen.h"

#include <QObject>
#include <QStringList>
#include <array>
#include <memory>

namespace velmora {

class Platform;
class SplashScreen;

// Owns the screens and performs every change of screen: the current screen
// is hidden, the next one created on its first showing, loaded, centred,
// shown and activated. Exactly one screen is visible at a time. It also owns
// the keeper of the drafts and tells it what happens.
class Navigator : public QObject, public Navigation {
    Q_OBJECT
public:
    explicit Navigator(Platform &platform);
    ~Navigator() override;

    AppContext &context() { return m_context; }

    // Program start: the splash screen alone is created, loaded and shown.
    // A file given is opened, and then a project folder's facts offered,
    // once the general-info screen is first shown, after a left draft was
    // offered.
    void start(const QString &fileToOpen = {}, const QString &projectFolder = {});
    SplashScreen *splash() const { return m_splash.get(); }

    void change(QWidget *from, ScreenId to) override;
    void show(ScreenId id);
    // The screen, or null before it is first made.
    Screen *screen(ScreenId id) const override;
    // The screen, created, loaded and centred, but not shown, when it was
    // not yet.
    Screen *made(ScreenId id) override;
    void wizardReplaced() override;

    DraftKeeper &drafts() { return *m_drafts; }

    // Closes every window of the program, hidden ones included, and then
    // signals programEnded.
    void endProgram() override;
    bool isEnding() const { return m_ending; }

signals:
    void programEnded();

private:
    std::unique_ptr<Screen> create(ScreenId id);

    AppContext m_context;
    std::unique_ptr<SplashScreen> m_splash;
    std::array<std::unique_ptr<Screen>, 7> m_screens;
    QString m_projectFolder;
    std::unique_ptr<DraftKeeper> m_drafts;
    QString m_fileToOpen;
    bool m_mainShown = false;
    bool m_ending = false;
};

}  // namespace velmora
