#pragma once

#include "core/readme/WizardValues.h"
#include "ui/toolkit/Screen.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora {

struct AppContext;

namespace look {
class MultiLineBox;
}

// The program-info screen: five free texts about the program.
class ProgramInfoScreen : public Screen {
    Q_OBJECT
public:
    explicit ProgramInfoScreen(AppContext &context);

    // This screen's share of the wizard's values: what it holds, and the
    // same put back as if typed.
    void collectValues(WizardValues &values) const;
    void putValues(const WizardValues &values);

protected:
    AppContext &context;

    void closeRequested() override;

private slots:
    void next();
    void backToMain();
    void clear();
private:
    look::MultiLineBox *descriptionBox, *instructionsBox, *featuresBox, *additionsBox, *newAdditionsBox;
    QLineEdit *licenceBox;
    look::MultiLineBox *licenceTextBox;
    QPushButton *clearButton, *nextButton, *mainButton;
    QLabel *descriptionLabel, *featuresLabel, *newAdditionsLabel, *additionsLabel, *instructionsLabel, *licenceLabel,
        *licenceTextLabel;
};

}  // namespace velmora
