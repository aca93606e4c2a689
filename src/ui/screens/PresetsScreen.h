#pragma once

#include "ui/toolkit/Screen.h"

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
class PresetsScreen : public Screen {
    Q_OBJECT
public:
    explicit PresetsScreen(AppContext &context);

    void load() override;

protected:
    AppContext &context;

    void closeRequested() override;

private slots:
    void savePresets();
    void clear();
    void backToMain();
private:
    QLineEdit *companyBox, *webBox;
    look::MultiLineBox *languageBox, *filesNeededBox;
    QLineEdit *authorNameBox, *emailBox;
    QPushButton *clearButton, *setButton, *mainButton;
    QLabel *messageLabel, *companyLabel, *webLabel, *filesNeededLabel, *authorNameLabel, *emailLabel, *generalHeading,
        *authorHeading, *languageLabel;
};

}  // namespace velmora
