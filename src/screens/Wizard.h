#pragma once

#include "readme/WizardValues.h"

namespace velmora {

class Navigation;
struct AppContext;

// The three wizard screens and the record, as one set of values.

// What the screens and the record hold now; a screen not made yet counts
// with what it starts with.
WizardValues wizardValues(const Navigation &navigation, const AppContext &context);

// Puts a whole set of values into the wizard as if the user had typed it:
// every box, both lists, the type, the memory of the preset fills, and then
// the record. A screen not made yet is made without being shown; the screen
// on display stays the one on display.
void putIntoWizard(Navigation &navigation, AppContext &context, const WizardValues &values);

}  // namespace velmora
