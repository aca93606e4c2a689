#include "ui/screens/PreviewScreen.h"

#include "core/readme/TextLayout.h"
#include "ui/screens/AppContext.h"
#include "ui/screens/Wizard.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Input.h"

#include <QPushButton>

namespace velmora {

using namespace look;

PreviewScreen::PreviewScreen(AppContext &context)
    : Screen(QStringLiteral("Preview"), 7140, 3750), context(context)
{
    QWidget *c = client();
    textBox = new MultiLineBox(c,  120, 240, 6735, 2775);
    textBox->setReadOnly(true);
    // Read-only, yet the keyboard still moves through the text and selects it.
    textBox->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    textBox->setAccessibleName(QStringLiteral("Preview"));  // no label beside it: named after the window
    //                             left  top   width height
    mainButton = button(c, "&Main", 5880, 3240, 975, 375);

    setTabOrderChain({textBox, mainButton});
    growWithWindow(textBox);

    connect(mainButton, &QPushButton::clicked, this, &PreviewScreen::backToMain);
}

void PreviewScreen::activate()
{
    // The text layout as Create File writes it now; in UTF-8, so that every
    // character shows as typed, as in the file when the UTF-8 question is
    // answered Yes.
    const ReadmeContent content = readmeContent(context.navigation, context);
    textBox->setText(
        QString::fromUtf8(readmeBytes(content.record, content.compatibleSystems, ReadmeEncoding::Utf8)));
    textBox->setFocus();
}

// Back to the wizard screen that showed the preview.
void PreviewScreen::backToMain()
{
    context.navigation.change(this, context.previewFrom);
}

void PreviewScreen::closeRequested()
{
    backToMain();
}

}  // namespace velmora
