#pragma once

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
};

}  // namespace velmora
