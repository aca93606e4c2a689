#include "ui/app/Navigator.h"

#include "ui/app/SplashScreen.h"
#include "ui/screens/PresetsScreen.h"
#include "ui/screens/AuthorScreen.h"
#include "ui/screens/GeneralInfoScreen.h"
#include "ui/screens/ProgramInfoScreen.h"
#include "ui/screens/ProjectFactsScreen.h"
#include "ui/screens/PreviewScreen.h"
#include "ui/screens/ViewerScreen.h"
#include "ui/screens/Wizard.h"
#include "ui/toolkit/Placement.h"

#include <QApplication>
#include <QPointer>

#include <utility>

namespace velmora {

Navigator::Navigator(Platform &platform)
    : m_context{platform, *this, {}, {}, {}, {}, {}, ReadmeEncoding::Windows1252, {}, ScreenId::Main, {}, {}},
      m_drafts(std::make_unique<DraftKeeper>(m_context, *this))
{
}

Navigator::~Navigator()
{
    m_ending = true;
    m_drafts.reset();  // before the screens it watches
    for (auto &screen : m_screens)
        screen.reset();
    m_splash.reset();
}

void Navigator::start(const QString &fileToOpen, const QString &projectFolder)
{
    m_fileToOpen = fileToOpen;
    m_projectFolder = projectFolder;
    m_splash = std::make_unique<SplashScreen>(*this);
    m_splash->load();
    look::centreOnScreen(m_splash.get());
    m_splash->show();
}

std::unique_ptr<Screen> Navigator::create(ScreenId id)
{
    switch (id) {
    case ScreenId::Main:
        return std::make_unique<GeneralInfoScreen>(m_context);
    case ScreenId::Program:
        return std::make_unique<ProgramInfoScreen>(m_context);
    case ScreenId::Author:
        return std::make_unique<AuthorScreen>(m_context);
    case ScreenId::Preset:
        return std::make_unique<PresetsScreen>(m_context);
    case ScreenId::View:
        return std::make_unique<ViewerScreen>(m_context);
    case ScreenId::Preview:
        return std::make_unique<PreviewScreen>(m_context);
    case ScreenId::Facts:
        return std::make_unique<ProjectFactsScreen>(m_context);
    }
    return nullptr;
}

Screen *Navigator::screen(ScreenId id) const
{
    return m_screens[size_t(id)].get();
}

void Navigator::change(QWidget *from, ScreenId to)
{
    if (from)
        from->hide();
    show(to);
    if (m_drafts)
        m_drafts->screenChanged();
}

Screen *Navigator::made(ScreenId id)
{
    auto &slot = m_screens[size_t(id)];
    if (!slot) {
        slot = create(id);
        slot->load();
        if (id == ScreenId::Main || id == ScreenId::Program || id == ScreenId::Author)
            showReadmeFileInTitles(*this, m_context);
        look::centreOnScreen(slot.get());
        if (m_drafts)
            m_drafts->screenMade(id, slot.get());
    }
    return slot.get();
}

void Navigator::wizardReplaced()
{
    if (m_drafts)
        m_drafts->valuesReplaced();
}

void Navigator::show(ScreenId id)
{
    if (m_ending)
        return;
    Screen *screen = made(id);
    screen->show();
    screen->activateWindow();
    screen->activate();
    // A finished run's draft is offered once the general-info screen is
    // there to put it back into.
    if (id == ScreenId::Main && !m_mainShown) {
        m_mainShown = true;
        if (m_drafts)
            m_drafts->offerLeftDraft(screen);
        if (!m_fileToOpen.isEmpty() && !m_ending)
            static_cast<GeneralInfoScreen *>(screen)->openReadmeFile(std::exchange(m_fileToOpen, QString()));
        if (!m_projectFolder.isEmpty() && !m_ending)
            static_cast<GeneralInfoScreen *>(screen)->showProjectFacts(std::exchange(m_projectFolder, QString()));
    }
}

void Navigator::endProgram()
{
    if (m_ending)
        return;
    m_ending = true;
    if (m_drafts)
        m_drafts->endOfRun();
    for (auto &screen : m_screens)
        if (screen)
            screen->allowClose();
    QList<QPointer<QWidget>> windows;
    for (QWidget *window : QApplication::topLevelWidgets())
        windows.append(window);
    for (const QPointer<QWidget> &window : windows)
        if (window)
            window->close();
    emit programEnded();
}

}  // namespace velmora
