#pragma once

#include "core/readme/WizardValues.h"

#include <QStringList>

namespace velmora {

class Navigation;
class Screen;
struct AppContext;
enum class ScreenId;
struct PresetRecord;
struct RecognisedReadme;

// The three wizard screens and the record, as one set of values.

// What the screens and the record hold now; a screen not made yet counts
// with what it starts with.
WizardValues wizardValues(const Navigation &navigation, const AppContext &context);

// Puts a whole set of values into the wizard as if the user had typed it:
// every box, both lists, the type, the memory of the preset fills, and then
// the record. A screen not made yet is made without being shown; the screen
// on display stays the one on display.
void putIntoWizard(Navigation &navigation, AppContext &context, const WizardValues &values);

// A readme that was opened, as values to put into the wizard over those it
// holds now: every fact back in the box it came from, the type picked, the
// record whole. The compatible list becomes the readme's; the systems it
// held go back to the OS list (as Clear does), then each of the readme's is
// taken out of the OS list, or only listed when the OS list lacks it. Every
// box the presets fill counts as typed, so that no fill replaces it: an
// empty value remembers the presets' value as its last fill, as a box the
// user emptied after a fill does.
WizardValues readmeValues(const RecognisedReadme &readme, const WizardValues &now,
                          const PresetRecord &presets);

// What Create File would write at this moment: the record with the author
// screen's two boxes (the record's own author fields while that screen was
// never made), and the compatible list.
struct ReadmeContent {
    ReadmeRecord record;
    QStringList compatibleSystems;
};
ReadmeContent readmeContent(const Navigation &navigation, const AppContext &context);

// The wizard screens made so far name the readme last opened or written
// in their titles; a screen made later names it as it is made.
void showReadmeFileInTitles(const Navigation &navigation, const AppContext &context);

// Ctrl+P on a wizard screen shows the preview, whose Main comes back to it.
void addPreviewKey(Screen *screen, AppContext &context, ScreenId self);
void showPreviewFrom(Screen *screen, AppContext &context, ScreenId self);

}  // namespace velmora
