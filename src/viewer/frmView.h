#pragma once

#include "toolkit/Platform.h"
#include "toolkit/Screen.h"

class QPushButton;

namespace velmora {

struct AppContext;

namespace look {
class MultiLineBox;
}

// The viewer: opens a text file and shows its whole text. Nothing shown or
// typed here is ever saved, and every failure is silent.
class frmView : public Screen {
    Q_OBJECT
public:
    explicit frmView(AppContext &context);

    void Form_Load() override;

    look::MultiLineBox *txtView;
    QPushButton *cmdVClear, *cmdVAnother, *cmdVMain;
    FileDialog dlgView;

protected:
    AppContext &ctx;

    void closeRequested() override;

private slots:
    void cmdVClear_Click();
    void cmdVAnother_Click();
    void cmdVMain_Click();

private:
    void openAndShow();
};

}  // namespace velmora
