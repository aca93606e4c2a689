#include "core/help/HelpPath.h"

#include "core/text/FilePath.h"

namespace velmora {

QString helpFilePathFor(const QString &applicationFolder)
{
    return fileInFolder(applicationFolder, QLatin1String(helpFileName));
}

OwnFile helpFileOf(const QString &applicationFolder)
{
    return {helpFilePathFor(applicationFolder), QStringLiteral("Velmora's help file")};
}

}  // namespace velmora
