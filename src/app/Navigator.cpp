#include "app/Navigator.h"

#include "app/frmSplash.h"
#include "presets/frmPreset.h"
#include "screens/frmAuthor.h"
#include "screens/frmMain.h"
#include "screens/frmProgram.h"
#include "viewer/frmView.h"
#include "toolkit/Look.h"

#include <QApplication>
#include <QPointer>

namespace velmora {

Navigator::Navigator(Platform &platform) : m_context{platform, *this, {}, {}, {}, {}} {}

Navigator::~Navigator()
{
    m_ending = true;
    for (auto &screen : m_screens)
        screen.reset();
    m_splash.reset();
}

void Navigator::start()
{
    m_splash = std::make_unique<frmSplash>(*this);
    m_splash->Form_Load();
    look::centreOnScreen(m_splash.get());
    m_splash->show();
}

std::unique_ptr<Screen> Navigator::create(ScreenId id)
{
    switch (id) {
    case ScreenId::Main:
        return std::make_unique<frmMain>(m_context);
    case ScreenId::Program:
        return std::make_unique<frmProgram>(m_context);
    case ScreenId::Author:
        return std::make_unique<frmAuthor>(m_context);
    case ScreenId::Preset:
        return std::make_unique<frmPreset>(m_context);
    case ScreenId::View:
        return std::make_unique<frmView>(m_context);
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
}

void Navigator::show(ScreenId id)
{
    if (m_ending)
        return;
    auto &slot = m_screens[size_t(id)];
    if (!slot) {
        slot = create(id);
        slot->Form_Load();
        look::centreOnScreen(slot.get());
    }
    Screen *screen = slot.get();
    screen->show();
    screen->activateWindow();
    screen->Form_Activate();
}

void Navigator::endProgram()
{
    if (m_ending)
        return;
    m_ending = true;
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
