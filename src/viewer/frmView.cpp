#include "viewer/frmView.h"

#include "platform/LineBreaks.h"
#include "platform/FilePath.h"
#include "platform/Look.h"
#include "platform/Twips.h"
#include "screens/AppContext.h"
#include "platform/ScreenTools.h"
#include "viewer/WholeFile.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace velmora {

using namespace look;

frmView::frmView(AppContext &context)
    : Screen(context.navigation, QStringLiteral("View"), 7140, 3750), ctx(context)
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
    dlgView.title = QStringLiteral("Open readme file");
    dlgView.filter = QStringLiteral("Text (*.txt)");
    dlgView.initialFolder =
        dialogStartFolder(ctx.platform.applicationFolder(), ctx.platform.documentsFolder());
    const std::optional<QString> path = ctx.platform.openFileDialog(this, dlgView);
    if (!path)
        return;
    // A file beyond the viewer's limits reads as empty text, as one that
    // cannot be read.
    const QString text = toLf(ReadWholeFile(*path));
    look::chooseWrapFor(txtView, text);
    txtView->setPlainText(text);
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
