#pragma once

#include "ui/toolkit/Platform.h"
#include "ui/toolkit/Screen.h"

class QPushButton;

namespace velmora {

struct AppContext;

namespace look {
class MultiLineBox;
}

// The viewer: opens a text file and shows its whole text. Nothing shown or
// typed here is ever saved, and every failure is silent.
class ViewerScreen : public Screen {
    Q_OBJECT
public:
    explicit ViewerScreen(AppContext &context);

    void load() override;

protected:
    AppContext &context;

    void closeRequested() override;

private slots:
    void clear();
    void openAnother();
    void backToMain();

private:
    look::MultiLineBox *textBox;
    QPushButton *clearButton, *anotherButton, *mainButton;
    FileDialog openDialog;

    void openAndShow();
};

}  // namespace velmora
