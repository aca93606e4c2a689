#pragma once

#include "ui/help/HelpBinding.h"
#include "core/project/ProjectFacts.h"
#include "core/readme/ReadmeRecord.h"
#include "core/readme/TextLayout.h"
#include "core/readme/WizardValues.h"
#include "ui/screens/Navigation.h"

#include <QPointer>
#include <QString>
#include <optional>

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

    // The readme last opened or written (an absolute path; empty before
    // any): the Save dialog starts there, and replacing it asks nothing.
    QString readmeFile;
    // How that file's text layout was encoded: a UTF-8 one is written in
    // UTF-8 again without a question.
    ReadmeEncoding readmeEncoding = ReadmeEncoding::Windows1252;
    // The wizard's values just after that open or write; nothing before
    // either. What differs from them counts as typed since.
    std::optional<WizardValues> valuesAtFile;
    // The wizard screen that showed the preview, where its Main goes back.
    ScreenId previewFrom = ScreenId::Main;
    // The project folder last chosen (absolute), and what it was found to
    // say about itself, which the facts screen shows.
    QString projectFolder;
    ProjectFacts projectFacts;
};

}  // namespace velmora
