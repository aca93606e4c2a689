#pragma once

#include "ui/toolkit/Screen.h"

class QPushButton;

namespace velmora {

struct AppContext;

namespace look {
class MultiLineBox;
}

// The readme that Create File would write at this moment, shown read-only in
// a window of the viewer's look.
class PreviewScreen : public Screen {
    Q_OBJECT
public:
    explicit PreviewScreen(AppContext &context);

    void activate() override;

protected:
    AppContext &context;

    void closeRequested() override;

private slots:
    void backToMain();
private:
    look::MultiLineBox *textBox;
    QPushButton *mainButton;
};

}  // namespace velmora
