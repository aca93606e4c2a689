#pragma once

#include <QString>

namespace velmora {

inline constexpr char helpFileName[] = "Velmora 1_0.HLP";

// The help file beside the program: the folder, a separator unless the folder
// already ends in one, and the file name. The separator follows the folder's
// own style ("C:\Tools" takes "\", "/opt/velmora" takes "/").
QString helpFilePathFor(const QString &applicationFolder);

}  // namespace velmora
