#pragma once

#include "core/text/OwnFiles.h"

#include <QString>

namespace velmora {

inline constexpr char helpFileName[] = "Velmora 1_0.HLP";

// The help file beside the program; empty when the folder is.
QString helpFilePathFor(const QString &applicationFolder);

// The help file as one of the files nothing the program writes may replace.
OwnFile helpFileOf(const QString &applicationFolder);

}  // namespace velmora
