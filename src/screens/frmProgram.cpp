#include "screens/frmProgram.h"

#include "toolkit/Look.h"
#include "toolkit/TextBoxes.h"
#include "screens/AppContext.h"
#include "toolkit/ScreenTools.h"

#include <QLabel>
#include <QPushButton>

namespace velmora {

using namespace look;

frmProgram::frmProgram(AppContext &context)
    : Screen(QStringLiteral("Program Info"), 6975, 5100), ctx(context)
{
    QWidget *c = client();
    //                                                  left  top   width height
    txtPDesc     = new MultiLineBox(c,                   120,  360, 3255, 855);
    txtPInstruct = new MultiLineBox(c,                  3600,  360, 3255, 855);
    txtPFeat     = new MultiLineBox(c,                   120, 1920, 3255, 855);
    txtPAdd      = new MultiLineBox(c,                  3600, 1920, 3255, 855);
    txtPNew      = new MultiLineBox(c,                   120, 3240, 3255, 855);
    cmdPClear    = button(c, "Clear",                   3600, 4560, 975, 375);
    cmdPNext     = button(c, "Next",                    4680, 4560, 975, 375);
    cmdPMain     = button(c, "Main",                    5880, 4560, 975, 375);
    lblPDesc     = heading(c, "Description:",            120,  120, darkBlue());
    lblPFeature  = heading(c, "Features:",               120, 1680, darkBlue());
    lblPNew      = heading(c, "New Features:",           120, 3000, darkBlue());
    lblPAdd      = heading(c, "Additional Features:",   3600, 1680, darkBlue());
    lblPInstruct = heading(c, "Instructions:",          3600,  120, darkBlue());

    horizontalSeparator(c, 120, 6840, 1440, 1455);
    horizontalSeparator(c, 120, 6840, 4320, 4330);

    nameBy(lblPDesc, txtPDesc);
    nameBy(lblPInstruct, txtPInstruct);
    nameBy(lblPFeature, txtPFeat);
    nameBy(lblPAdd, txtPAdd);
    nameBy(lblPNew, txtPNew);

    setTabOrderChain({txtPDesc, txtPInstruct, txtPFeat, txtPAdd, txtPNew, cmdPClear, cmdPNext,
                      cmdPMain});
    txtPDesc->setFocus();

    connect(cmdPNext, &QPushButton::clicked, this, &frmProgram::cmdPNext_Click);
    connect(cmdPMain, &QPushButton::clicked, this, &frmProgram::cmdPMain_Click);
    connect(cmdPClear, &QPushButton::clicked, this, &frmProgram::cmdPClear_Click);
}

void frmProgram::collectValues(WizardValues &values) const
{
    values.description = txtPDesc->text();
    values.instructions = txtPInstruct->text();
    values.features = txtPFeat->text();
    values.additions = txtPAdd->text();
    values.newFeatures = txtPNew->text();
}

void frmProgram::putValues(const WizardValues &values)
{
    txtPDesc->setText(values.description);
    txtPInstruct->setText(values.instructions);
    txtPFeat->setText(values.features);
    txtPAdd->setText(values.additions);
    txtPNew->setText(values.newFeatures);
}

void frmProgram::cmdPNext_Click()
{
    ReadmeRecord &r = ctx.record;
    r.description = txtPDesc->text();
    r.instructions = txtPInstruct->text();
    r.newAdditions = txtPNew->text();
    r.features = txtPFeat->text();
    r.additions = txtPAdd->text();
    ctx.navigation.change(this, ScreenId::Author);
}

void frmProgram::cmdPMain_Click()
{
    ctx.navigation.change(this, ScreenId::Main);
}

void frmProgram::cmdPClear_Click()
{
    clearTextBoxes(this);
    txtPDesc->setFocus();
}

void frmProgram::closeRequested()
{
    cmdPMain_Click();
}

}  // namespace velmora
