#include "viewer/frmView.h"

#include "toolkit/Look.h"
#include "toolkit/TextBoxes.h"
#include "toolkit/Twips.h"
#include "screens/AppContext.h"
#include "toolkit/ScreenTools.h"
#include "viewer/WholeFile.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace velmora {

using namespace look;

frmView::frmView(AppContext &context)
    : Screen(QStringLiteral("View"), 7140, 3750), ctx(context)
{
    QWidget *c = client();
    // A plain text box stays fast with very large files; as every
    // multi-line box, it wraps a pasted text without spaces anywhere.
    txtView = new MultiLineBox(c, 120, 240, 6735, 2775);
    txtView->setAccessibleName(QStringLiteral("View"));  // no label beside it: named after the window
    //                                          left  top   width height
    cmdVClear   = button(c, "Clear",           3600, 3240, 975, 375);
    cmdVAnother = button(c, "Another",         4680, 3240, 975, 375);
    cmdVMain    = button(c, "Main",            5880, 3240, 975, 375);

    setTabOrderChain({txtView, cmdVClear, cmdVAnother, cmdVMain});

    connect(cmdVClear, &QPushButton::clicked, this, &frmView::cmdVClear_Click);
    connect(cmdVAnother, &QPushButton::clicked, this, &frmView::cmdVAnother_Click);
    connect(cmdVMain, &QPushButton::clicked, this, &frmView::cmdVMain_Click);
}

void frmView::Form_Load()
{
    openAndShow();
}

void frmView::openAndShow()
{
    // Any failure ends here silently and the text stays as it was.
    const std::optional<QString> path =
        askForFile(ctx.platform, this, dlgView, FileDialogKind::Open,
                   QStringLiteral("Open readme file"), {QStringLiteral("Text (*.txt)")});
    if (!path)
        return;
    // A file beyond the viewer's limits reads as empty text, as one that
    // cannot be read.
    txtView->setText(ReadWholeFile(*path));
}

void frmView::cmdVClear_Click()
{
    clearTextBoxes(this);
}

void frmView::cmdVAnother_Click()
{
    openAndShow();
}

void frmView::cmdVMain_Click()
{
    ctx.navigation.change(this, ScreenId::Main);
}

void frmView::closeRequested()
{
    cmdVMain_Click();
}

}  // namespace velmora
