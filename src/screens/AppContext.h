#pragma once

#include "help/HelpBinding.h"
#include "readme/ReadmeRecord.h"

#include <QString>

namespace velmora {

class Navigation;
class Platform;

// What the screens share for the whole run. The program frame makes one and
// hands it to every screen.
struct AppContext {
    Platform &platform;
    Navigation &navigation;
    ReadmeRecord record;
    // Empty at start, then "yes" or "no" from Tools > Tooltips; never saved.
    QString TooltipsOn;
    HelpBinding help;

    bool tooltipsWanted() const { return TooltipsOn == QLatin1String("yes"); }
};

}  // namespace velmora
