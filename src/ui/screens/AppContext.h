#pragma once

#include "ui/help/HelpBinding.h"
#include "core/readme/ReadmeRecord.h"
#include "ui/screens/Navigation.h"

#include <QPointer>
#include <QString>

namespace velmora {

class Platform;
class GeneralInfoScreen;

// What the screens share for the whole run. The program frame makes one and
// hands it to every screen.
struct AppContext {
    Platform &platform;
    Navigation &navigation;
    ReadmeRecord record;
    // Empty at start, then "yes" or "no" from Tools > Tooltips; never saved.
    QString TooltipsOn;
    HelpBinding help;
    // The general-info screen, once made: its compatible list is what the
    // readme writer reads at the moment of writing.
    QPointer<GeneralInfoScreen> mainScreen;

    bool tooltipsWanted() const { return TooltipsOn == QLatin1String("yes"); }
};

}  // namespace velmora
