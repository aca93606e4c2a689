#include "screens/Wizard.h"

#include "screens/AppContext.h"
#include "screens/Navigation.h"
#include "screens/frmAuthor.h"
#include "screens/frmMain.h"
#include "screens/frmProgram.h"

namespace velmora {

WizardValues wizardValues(const Navigation &navigation, const AppContext &context)
{
    WizardValues values;
    if (auto *main = static_cast<frmMain *>(navigation.screen(ScreenId::Main)))
        main->collectValues(values);
    if (auto *program = static_cast<frmProgram *>(navigation.screen(ScreenId::Program)))
        program->collectValues(values);
    if (auto *author = static_cast<frmAuthor *>(navigation.screen(ScreenId::Author)))
        author->collectValues(values);
    values.record = context.record;
    return values;
}

void putIntoWizard(Navigation &navigation, AppContext &context, const WizardValues &values)
{
    static_cast<frmMain *>(navigation.made(ScreenId::Main))->putValues(values);
    static_cast<frmProgram *>(navigation.made(ScreenId::Program))->putValues(values);
    static_cast<frmAuthor *>(navigation.made(ScreenId::Author))->putValues(values);
    // Last: picking the type on the general-info screen sets the record's.
    context.record = values.record;
}

}  // namespace velmora
