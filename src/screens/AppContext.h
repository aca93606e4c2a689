#pragma once

#include "help/HelpBinding.h"
#include "readme/ReadmeRecord.h"

#include <QString>

namespace velmora {

class Navigator;
class Platform;

// What the screens share for the whole run.
struct AppContext {
    Platform &platform;
    Navigator &navigator;
    ReadmeRecord record;
    // Empty at start, then "yes" or "no" from Tools > Tooltips; never saved.
    QString TooltipsOn;
    HelpBinding help;

    bool tooltipsWanted() const { return TooltipsOn == QLatin1String("yes"); }
};

}  // namespace velmora
