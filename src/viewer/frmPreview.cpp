#include "viewer/frmPreview.h"

#include "readme/ReadmeLayout.h"
#include "screens/AppContext.h"
#include "screens/Wizard.h"
#include "toolkit/Look.h"
#include "toolkit/ScreenTools.h"
#include "toolkit/TextBoxes.h"

#include <QPushButton>

namespace velmora {

using namespace look;

frmPreview::frmPreview(AppContext &context)
    : Screen(QStringLiteral("Preview"), 7140, 3750), ctx(context)
{
    QWidget *c = client();
    txtPreview = new MultiLineBox(c, 120, 240, 6735, 2775);
    txtPreview->setReadOnly(true);
    // Read-only, yet the keyboard still moves through the text and selects it.
    txtPreview->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtPreview->setAccessibleName(QStringLiteral("Preview"));  // no label beside it: named after the window
    //                                            left  top   width height
    cmdPreviewMain = button(c, "Main",            5880, 3240, 975, 375);

    setTabOrderChain({txtPreview, cmdPreviewMain});

    connect(cmdPreviewMain, &QPushButton::clicked, this, &frmPreview::cmdPreviewMain_Click);
}

void frmPreview::Form_Activate()
{
    // The text layout as Create File writes it now; in UTF-8, so that every
    // character shows as typed, as in the file when the UTF-8 question is
    // answered Yes.
    const ReadmeContent content = readmeContent(ctx.navigation, ctx);
    txtPreview->setText(
        QString::fromUtf8(readmeBytes(content.record, content.compatibleSystems, ReadmeEncoding::Utf8)));
    txtPreview->setFocus();
}

void frmPreview::cmdPreviewMain_Click()
{
    ctx.navigation.change(this, ScreenId::Main);
}

void frmPreview::closeRequested()
{
    cmdPreviewMain_Click();
}

}  // namespace velmora
