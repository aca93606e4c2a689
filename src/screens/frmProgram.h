#pragma once

#include "readme/WizardValues.h"
#include "toolkit/Screen.h"

class QLabel;
class QPushButton;

namespace velmora {

struct AppContext;

namespace look {
class MultiLineBox;
}

// The program-info screen: five free texts about the program.
class frmProgram : public Screen {
    Q_OBJECT
public:
    explicit frmProgram(AppContext &context);

    // This screen's share of the wizard's values: what it holds, and the
    // same put back as if typed.
    void collectValues(WizardValues &values) const;
    void putValues(const WizardValues &values);

    look::MultiLineBox *txtPDesc, *txtPInstruct, *txtPFeat, *txtPAdd, *txtPNew;
    QPushButton *cmdPClear, *cmdPNext, *cmdPMain;
    QLabel *lblPDesc, *lblPFeature, *lblPNew, *lblPAdd, *lblPInstruct;

protected:
    AppContext &ctx;

    void closeRequested() override;

private slots:
    void cmdPNext_Click();
    void cmdPMain_Click();
    void cmdPClear_Click();
};

}  // namespace velmora
