#include "ui/screens/PreviewScreen.h"

#include "core/readme/MarkdownLayout.h"
#include "core/readme/TextLayout.h"
#include "ui/screens/AppContext.h"
#include "ui/screens/Wizard.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Input.h"
#include "ui/toolkit/Twips.h"
#include "ui/screens/RenderedMarkdown.h"

#include <QButtonGroup>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBrowser>

namespace velmora {

using namespace look;

namespace {

// Rendered Markdown that loads nothing: an image or a link in a field names
// a file or an address, which the preview never opens.
class RenderedBox : public QTextBrowser {
public:
    explicit RenderedBox(QWidget *parent) : QTextBrowser(parent)
    {
        setOpenLinks(false);
        setOpenExternalLinks(false);
    }

    QVariant loadResource(int, const QUrl &) override { return QVariant(); }
};

}  // namespace

PreviewScreen::PreviewScreen(AppContext &context)
    : Screen(QStringLiteral("Preview"), 7140, 3750), context(context)
{
    QWidget *c = client();
    textBox = new MultiLineBox(c,  120, 240, 6735, 2775);
    textBox->setReadOnly(true);
    // Read-only, yet the keyboard still moves through the text and selects it.
    textBox->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    textBox->setAccessibleName(QStringLiteral("Preview"));  // no label beside it: named after the window
    renderedBox = new RenderedBox(c);
    renderedBox->setGeometry(textBox->geometry());
    renderedBox->setAccessibleName(QStringLiteral("Preview as rendered"));
    renderedBox->hide();

    layoutChoice = new QButtonGroup(this);
    const struct {
        const char *caption;
        int left;
        int width;
    } choices[] = {{"&Text file", 120, 1455}, {"Mar&kdown as shown", 1620, 2055}, {"Markdown &source", 3720, 1980}};
    for (int id = 0; id < 3; ++id) {
        auto *choice = new QRadioButton(QString::fromLatin1(choices[id].caption), c);
        choice->setGeometry(twipsRect(choices[id].left, 3240, choices[id].width, 375));
        layoutChoice->addButton(choice, id);
    }
    layoutChoice->button(TextFile)->setChecked(true);
    //                             left  top   width height
    mainButton = button(c, "&Main", 5880, 3240, 975, 375);

    setTabOrderChain({textBox, renderedBox, layoutChoice->button(TextFile), layoutChoice->button(Markdown),
                      layoutChoice->button(MarkdownSource), mainButton});
    growWithWindow({textBox, renderedBox});

    connect(mainButton, &QPushButton::clicked, this, &PreviewScreen::backToMain);
    connect(layoutChoice, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            showChosenLayout();
    });
}

void PreviewScreen::activate()
{
    showChosenLayout();
    (layoutChoice->checkedId() == Markdown ? static_cast<QWidget *>(renderedBox) : textBox)->setFocus();
}

void PreviewScreen::showChosenLayout()
{
    // The layout as Create File writes it now; the text file in UTF-8, so
    // that every character shows as typed, as in the file when the UTF-8
    // question is answered Yes.
    const ReadmeContent content = readmeContent(context.navigation, context);
    const int shown = layoutChoice->checkedId();
    const bool rendered = shown == Markdown;
    if (shown == TextFile)
        textBox->setText(QString::fromUtf8(readmeBytes(content.record, content.compatibleSystems, ReadmeEncoding::Utf8)));
    else if (shown == MarkdownSource)
        textBox->setText(QString::fromUtf8(readmeMarkdownBytes(content.record, content.compatibleSystems)));
    else
        renderedBox->setHtml(renderedMarkdown(readmeMarkdownBytes(content.record, content.compatibleSystems)));
    renderedBox->setVisible(rendered);
    textBox->setVisible(!rendered);
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
