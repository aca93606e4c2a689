#include "readme/ReadmeTarget.h"

#include "files/FilePath.h"
#include "files/OwnFiles.h"
#include "help/HelpPath.h"
#include "presets/PresetsFile.h"

namespace velmora {

QString readmeTargetProblem(const QString &path, const QString &applicationFolder,
                            const QString &userFolder)
{
    const QString presets = QStringLiteral("the presets file Velmora reads");
    return ownFileProblem(
        path, {runningProgram(), helpFileOf(applicationFolder),
               {presetsPath(applicationFolder), presets},
               {fileInFolder(userFolder, QLatin1String(presetsFileName)), presets}});
}

}  // namespace velmora
