#pragma once

#include <optional>

#include "core/readme/TextLayout.h"
#include "ui/screens/PresetFill.h"
#include "ui/toolkit/Platform.h"
#include "ui/toolkit/Screen.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora {

struct AppContext;

// The author screen: name, e-mail and the Create File button that writes the
// readme.
class AuthorScreen : public Screen {
    Q_OBJECT
public:
    explicit AuthorScreen(AppContext &context);

    void activate() override;

    // This screen's share of the wizard's values: what it holds, and the
    // same put back as if typed.
    void collectValues(WizardValues &values) const;
    void putValues(const WizardValues &values);

protected:
    AppContext &context;

    void closeRequested() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void clear();
    void createFile();
    void backToMain();
    void showCreateTip();

private:
    QLabel *nameLabel, *emailLabel;
    QLineEdit *nameBox, *emailBox;
    QPushButton *clearButton, *createButton, *mainButton;
    QLabel *writtenLabel;  // where the last Create File wrote, and when
    FileDialog saveDialog;

    // Asks whether a readme that holds these characters goes out in UTF-8;
    // no question for none.
    std::optional<ReadmeEncoding> askForEncoding(const QList<char32_t> &outside);
    void showWritten(const QString &line);

    PresetFill nameFill, eMailFill;
};

}  // namespace velmora
