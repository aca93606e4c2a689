#pragma once

#include "toolkit/Screen.h"

class QPushButton;

namespace velmora {

struct AppContext;

namespace look {
class MultiLineBox;
}

// The readme that Create File would write at this moment, shown read-only in
// a window of the viewer's look.
class frmPreview : public Screen {
    Q_OBJECT
public:
    explicit frmPreview(AppContext &context);

    void Form_Activate() override;

    look::MultiLineBox *txtPreview;
    QPushButton *cmdPreviewMain;

protected:
    AppContext &ctx;

    void closeRequested() override;

private slots:
    void cmdPreviewMain_Click();
};

}  // namespace velmora
