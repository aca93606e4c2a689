#pragma once

#include <QString>

namespace velmora {

inline constexpr char helpFileName[] = "Velmora 1_0.HLP";

// The help file beside the program.
QString helpFilePathFor(const QString &applicationFolder);

}  // namespace velmora
