#include "help/HelpPath.h"

#include "files/FilePath.h"

namespace velmora {

QString helpFilePathFor(const QString &applicationFolder)
{
    return fileInFolder(applicationFolder, QLatin1String(helpFileName));
}

}  // namespace velmora
