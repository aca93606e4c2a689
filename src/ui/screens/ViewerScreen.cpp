#include "ui/screens/ViewerScreen.h"

#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Input.h"
#include "ui/toolkit/Twips.h"
#include "ui/screens/AppContext.h"
#include "core/text/WholeFile.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace velmora {

using namespace look;

ViewerScreen::ViewerScreen(AppContext &context)
    : Screen(QStringLiteral("View"), 7140, 3750), context(context)
{
    QWidget *c = client();
    // A plain text box stays fast with very large files; as every
    // multi-line box, it wraps a pasted text without spaces anywhere.
    textBox = new MultiLineBox(c,  120, 240, 6735, 2775);
    textBox->setAccessibleName(QStringLiteral("View"));  // no label beside it: named after the window
    //                                   left  top   width height
    clearButton   = button(c, "&Clear",   3600, 3240, 975, 375);
    anotherButton = button(c, "&Another", 4680, 3240, 975, 375);
    mainButton    = button(c, "&Main",    5880, 3240, 975, 375);

    setTabOrderChain({textBox, clearButton, anotherButton, mainButton});
    growWithWindow({textBox});

    connect(clearButton, &QPushButton::clicked, this, &ViewerScreen::clear);
    connect(anotherButton, &QPushButton::clicked, this, &ViewerScreen::openAnother);
    connect(mainButton, &QPushButton::clicked, this, &ViewerScreen::backToMain);
}

void ViewerScreen::load()
{
    openAndShow();
}

void ViewerScreen::openAndShow()
{
    // Any failure ends here silently and the text stays as it was.
    const std::optional<QString> path =
        askForFile(context.platform, this, openDialog, FileDialogKind::Open,
                   QStringLiteral("Open readme file"), {QStringLiteral("Text (*.txt)")});
    if (!path)
        return;
    // A file beyond the viewer's limits reads as empty text, as one that
    // cannot be read.
    textBox->setText(readWholeFile(*path));
}

void ViewerScreen::clear()
{
    clearTextBoxes(this);
}

void ViewerScreen::openAnother()
{
    openAndShow();
}

void ViewerScreen::backToMain()
{
    context.navigation.change(this, ScreenId::Main);
}

void ViewerScreen::closeRequested()
{
    backToMain();
}

}  // namespace velmora
