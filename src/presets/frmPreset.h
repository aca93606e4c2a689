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
// presets.txt with Set. It opens with the saved presets and afterwards keeps
// whatever the user left in it.
class frmPreset : public Screen {
    Q_OBJECT
public:
    explicit frmPreset(AppContext &context);

    void Form_Load() override;

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
