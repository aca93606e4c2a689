#include "ui/screens/ProgramInfoScreen.h"

#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Input.h"
#include "ui/screens/AppContext.h"
#include "ui/screens/Wizard.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velmora {

using namespace look;

ProgramInfoScreen::ProgramInfoScreen(AppContext &context)
    : Screen(QStringLiteral("Program Info"), 6975, 5460), context(context)
{
    QWidget *c = client();
    //                                                     left  top   width height
    descriptionBox    = new MultiLineBox(c,                 120,  360, 3255, 855);
    instructionsBox   = new MultiLineBox(c,                3600,  360, 3255, 855);
    featuresBox       = new MultiLineBox(c,                 120, 1920, 3255, 855);
    additionsBox      = new MultiLineBox(c,                3600, 1920, 3255, 855);
    newAdditionsBox   = new MultiLineBox(c,                 120, 3240, 3255, 855);
    licenceBox        = lineBox(c,                         3600, 3240, 3255, 285);
    licenceTextBox    = new MultiLineBox(c,                3600, 3840, 3255, 495);
    clearButton       = button(c, "&Clear",                3600, 4920, 975, 375);
    nextButton        = button(c, "&Next",                 4680, 4920, 975, 375);
    mainButton        = button(c, "&Main",                 5880, 4920, 975, 375);
    descriptionLabel  = heading(c, "Description:",          120,  120, darkBlue());
    featuresLabel     = heading(c, "Features:",             120, 1680, darkBlue());
    newAdditionsLabel = heading(c, "New Features:",         120, 3000, darkBlue());
    additionsLabel    = heading(c, "Additional Features:", 3600, 1680, darkBlue());
    instructionsLabel = heading(c, "Instructions:",        3600,  120, darkBlue());
    licenceLabel      = heading(c, "Licence:",             3600, 3000, darkBlue());
    licenceTextLabel  = heading(c, "Licence text:",        3600, 3600, darkBlue());

    horizontalSeparator(c, 120, 6840, 1440, 1455);
    horizontalSeparator(c, 120, 6840, 4680, 4690);

    nameBy(descriptionLabel, descriptionBox);
    nameBy(instructionsLabel, instructionsBox);
    nameBy(featuresLabel, featuresBox);
    nameBy(additionsLabel, additionsBox);
    nameBy(newAdditionsLabel, newAdditionsBox);
    nameBy(licenceLabel, licenceBox);
    nameBy(licenceTextLabel, licenceTextBox);

    setTabOrderChain({descriptionBox, instructionsBox, featuresBox, additionsBox, newAdditionsBox, licenceBox,
                      licenceTextBox, clearButton, nextButton, mainButton});
    descriptionBox->setFocus();

    connect(nextButton, &QPushButton::clicked, this, &ProgramInfoScreen::next);
    connect(mainButton, &QPushButton::clicked, this, &ProgramInfoScreen::backToMain);
    connect(clearButton, &QPushButton::clicked, this, &ProgramInfoScreen::clear);
    addPreviewKey(this, context, ScreenId::Program);
}

void ProgramInfoScreen::collectValues(WizardValues &values) const
{
    values.description = descriptionBox->text();
    values.instructions = instructionsBox->text();
    values.features = featuresBox->text();
    values.additions = additionsBox->text();
    values.newFeatures = newAdditionsBox->text();
    values.licence = licenceBox->text();
    values.licenceText = licenceTextBox->text();
}

void ProgramInfoScreen::putValues(const WizardValues &values)
{
    descriptionBox->setText(values.description);
    instructionsBox->setText(values.instructions);
    featuresBox->setText(values.features);
    additionsBox->setText(values.additions);
    newAdditionsBox->setText(values.newFeatures);
    fillFromStart(licenceBox, values.licence);
    licenceTextBox->setText(values.licenceText);
}

void ProgramInfoScreen::next()
{
    ReadmeRecord &r = context.record;
    r.description = descriptionBox->text();
    r.instructions = instructionsBox->text();
    r.newAdditions = newAdditionsBox->text();
    r.features = featuresBox->text();
    r.additions = additionsBox->text();
    r.licence = licenceBox->text();
    r.licenceText = licenceTextBox->text();
    context.navigation.change(this, ScreenId::Author);
}

void ProgramInfoScreen::backToMain()
{
    context.navigation.change(this, ScreenId::Main);
}

void ProgramInfoScreen::clear()
{
    clearTextBoxes(this);
    descriptionBox->setFocus();
}

void ProgramInfoScreen::closeRequested()
{
    backToMain();
}

}  // namespace velmora
