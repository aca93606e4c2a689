#pragma once

#include <QString>

namespace velmora {

// Why Create File must not write the readme at path: the reason line when
// path names, by whatever spelling or link, the running program, its help
// file, or a presets.txt the program reads (the application folder's or the
// user's own). Empty when the readme may be written there.
QString readmeTargetProblem(const QString &path, const QString &applicationFolder,
                            const QString &userFolder);

}  // namespace velmora
