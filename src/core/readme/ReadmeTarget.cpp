#include "core/readme/ReadmeTarget.h"

#include "core/text/FilePath.h"
#include "core/text/OwnFiles.h"
#include "core/help/HelpPath.h"
#include "core/presets/PresetsFile.h"

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
