#pragma once

#include "toolkit/Screen.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora {

struct AppContext;

namespace look {
class MultiLineBox;
}

// The presets screen: the six preset values are typed here and saved to
// presets.txt with Set. It never reads the file.
class frmPreset : public Screen {
    Q_OBJECT
public:
    explicit frmPreset(AppContext &context);

    QLineEdit *txtCComName, *txtCWeb;
    look::MultiLineBox *txtCLanguage, *txtCNeeded;
    QLineEdit *txtCAName, *txtCEmail;
    QPushButton *cmdCClear, *cmdCSet, *cmdCMain;
    QLabel *lblCMsg, *lblCComName, *lblCWeb, *lblCNeeded, *lblCAName, *lblCEmail, *lblCGen,
        *lblCAuthor, *lblCLanguage;

protected:
    AppContext &ctx;

    void closeRequested() override;

private slots:
    void cmdCSet_Click();
    void cmdCClear_Click();
    void cmdCMain_Click();
};

}  // namespace velmora
