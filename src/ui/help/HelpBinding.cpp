#include "ui/help/HelpBinding.h"

#include "core/help/HelpPath.h"
#include "ui/help/HelpWindow.h"
#include "ui/toolkit/Platform.h"

namespace velmora {

void HelpBinding::bindHelpFile(QWidget *owner, const QString &applicationFolder)
{
    m_owner = owner;
    m_path = helpFilePathFor(applicationFolder);
}

void HelpBinding::showContents(Platform &platform)
{
    // Contents is on the main window's menu, so the binding has run; the
    // help window lives as long as its owner.
    if (!m_owner)
        return;
    if (!m_window)
        m_window = new HelpWindow(m_owner);
    // Whatever the help window makes of the file is all the user sees; the
    // program reports nothing of its own.
    platform.showHelpContents(*m_window, m_path);
}

}  // namespace velmora
