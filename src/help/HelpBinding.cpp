#include "help/HelpBinding.h"

#include "help/HelpPath.h"
#include "platform/Platform.h"

namespace velmora {

void HelpBinding::BindHelpFile(QWidget *owner, const QString &applicationFolder)
{
    m_owner = owner;
    m_path = helpFilePathFor(applicationFolder);
}

void HelpBinding::ShowHelpContents(Platform &platform) const
{
    // Whatever the help window makes of the file is all the user sees; the
    // program reports nothing of its own.
    platform.showHelpContents(m_owner, m_path);
}

}  // namespace velmora
