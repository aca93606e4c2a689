#include "help/HelpPath.h"

namespace velmora {

QString helpFilePathFor(const QString &applicationFolder)
{
    // Only the test for a trailing separator looks at the trimmed folder; the
    // folder itself is used as given.
    const QString trimmed = applicationFolder.trimmed();
    if (trimmed.endsWith(u'\\') || trimmed.endsWith(u'/'))
        return applicationFolder + QLatin1String(helpFileName);
    const bool backslashes =
        applicationFolder.contains(u'\\') && !applicationFolder.contains(u'/');
    return applicationFolder + (backslashes ? u'\\' : u'/') + QLatin1String(helpFileName);
}

}  // namespace velmora
