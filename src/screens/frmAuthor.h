#pragma once

#include "readme/ReadmeLayout.h"
#include "screens/PresetFill.h"
#include "toolkit/Platform.h"
#include "toolkit/Screen.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora {

struct AppContext;

// The author screen: name, e-mail and the Create File button that writes the
// readme.
class frmAuthor : public Screen {
    Q_OBJECT
public:
    explicit frmAuthor(AppContext &context);

    void Form_Activate() override;

    // This screen's share of the wizard's values: what it holds, and the
    // same put back as if typed.
    void collectValues(WizardValues &values) const;
    void putValues(const WizardValues &values);

    QLabel *lblAName, *lblAEMail;
    QLineEdit *txtAName, *txtAEMail;
    QPushButton *cmdAClear, *cmdACreate, *cmdAMain;
    FileDialog dlgAuthor;

protected:
    AppContext &ctx;

    void closeRequested() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void cmdAClear_Click();
    void cmdACreate_Click();
    void cmdAMain_Click();
    void cmdACreate_MouseMove();

private:
    // Asks whether a readme that holds these characters goes out in UTF-8;
    // no question for none.
    ReadmeEncoding askForEncoding(const QList<char32_t> &outside);

    PresetFill nameFill, eMailFill;
};

}  // namespace velmora
