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
    // Tools > Tooltips: off at start, never saved.
    bool tooltipsOn = false;
    HelpBinding help;
    // The general-info screen, once made: its compatible list is what the
    // readme writer reads at the moment of writing.
    QPointer<GeneralInfoScreen> mainScreen;
};

}  // namespace velmora
