#include "ui/screens/AuthorScreen.h"

#include "core/text/LineBreaks.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Input.h"
#include "core/presets/PresetsFile.h"
#include "core/readme/ReadmeFile.h"
#include "core/readme/ReadmeTarget.h"
#include "ui/screens/AppContext.h"
#include "ui/screens/GeneralInfoScreen.h"
#include "ui/screens/Wizard.h"
#include "ui/toolkit/Twips.h"
#include "core/text/FilePath.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velmora {

using namespace look;

AuthorScreen::AuthorScreen(AppContext &context)
    : Screen(QStringLiteral("Author"), 3495, 1725), context(context)
{
    QWidget *c = client();
    //                                      left top  width height limit
    nameLabel    = label(c, "Name:",          75, 120);
    nameBox      = lineBox(c,                600, 120, 2775, 285, 30);
    emailLabel   = label(c, "EMail:",        120, 480);
    emailBox     = lineBox(c,                600, 480, 2775, 285, 30);
    clearButton  = button(c, "&Clear",       120, 960,  975, 375);
    createButton = button(c, "Create &File", 1200, 960,  975, 375);
    mainButton   = button(c, "&Main",        2400, 960,  975, 375);
    writtenLabel = label(c, "",              120, 1440);
    writtenLabel->resize(px(3255), px(225));

    nameBy(nameLabel, nameBox);
    nameBy(emailLabel, emailBox);

    setTabOrderChain({nameBox, emailBox, clearButton, createButton, mainButton});

    connect(clearButton, &QPushButton::clicked, this, &AuthorScreen::clear);
    connect(createButton, &QPushButton::clicked, this, &AuthorScreen::createFile);
    connect(mainButton, &QPushButton::clicked, this, &AuthorScreen::backToMain);
    watchPointer(createButton, this);
    addPreviewKey(this, context, ScreenId::Author);
}

void AuthorScreen::activate()
{
    const PresetRecord presets =
        readPresets(context.platform.applicationFolder(), context.platform.userConfigFolder());
    nameFill.fill(nameBox, presets.authorName);
    eMailFill.fill(emailBox, presets.authorEMail);
    nameBox->setFocus();
}

void AuthorScreen::collectValues(WizardValues &values) const
{
    values.authorName = nameFill.valueOf(nameBox->text());
    values.authorEMail = eMailFill.valueOf(emailBox->text());
}

void AuthorScreen::putValues(const WizardValues &values)
{
    fillFromStart(nameBox, values.authorName.text);
    fillFromStart(emailBox, values.authorEMail.text);
    nameFill.remember(values.authorName.filled);
    eMailFill.remember(values.authorEMail.filled);
}

void AuthorScreen::clear()
{
    clearTextBoxes(this);
    nameBox->setFocus();
}

namespace {

const QString markdownFilter = QStringLiteral("Markdown (*.md)");
const QString textFilter = QStringLiteral("Text (*.txt)");

bool sameFile(const QString &a, const QString &b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

}  // namespace

// Writes the readme where the user says, starting from the file last opened
// or written: the update the user asked for replaces it without a question,
// any other existing file is replaced only on Yes. Cancel says nothing.
void AuthorScreen::createFile()
{
    if (context.record.programName.trimmed().isEmpty()) {
        context.platform.messageBox(this, QStringLiteral("The readme needs the program's name.") + crLf
                                              + QStringLiteral("Type it into the Name box."),
                                    QStringLiteral("Create File"), okWarning);
        context.navigation.change(this, ScreenId::Main);  // its showing puts the focus into the Name box
        return;
    }
    if (!context.readmeFile.isEmpty()) {
        saveDialog.fileName = context.readmeFile;
        saveDialog.selectedFilter =
            context.readmeFile.endsWith(QLatin1String(".md"), Qt::CaseInsensitive) ? markdownFilter : textFilter;
    }
    const std::optional<QString> path =
        askForFile(context.platform, this, saveDialog, FileDialogKind::Save, QStringLiteral("Save file"),
                   {textFilter, markdownFilter});
    if (!path)
        return;  // Cancel changes nothing and says nothing
    context.record.authorName = nameBox->text();
    context.record.authorEMail = emailBox->text();
    const QStringList systems = context.mainScreen ? context.mainScreen->compatibleSystems() : QStringList();
    QString reason = readmeTargetProblem(*path, context.platform.applicationFolder(),
                                         context.platform.userConfigFolder());
    if (reason.isEmpty() && QFileInfo::exists(*path) && !sameFile(*path, context.readmeFile)) {
        const MessageAnswer answer = context.platform.messageBox(
            this, QStringLiteral("%1 already exists. Replace it?").arg(QFileInfo(*path).fileName()),
            QStringLiteral("Save file"), yesNoNoByDefault);
        if (answer != MessageAnswer::Yes)
            return;
    }
    // The name decides as much as the filter: a README.md is Markdown
    // whichever filter was left chosen. No extension is ever added.
    const bool markdown = saveDialog.selectedFilter == markdownFilter
                          || formatNamedBy(*path) == ReadmeFormat::Markdown;
    ReadmeEncoding encoding = ReadmeEncoding::Windows1252;
    // A file that was UTF-8 stays UTF-8: asked once, or never for a file
    // opened so. Markdown is UTF-8 already: no question. No to the
    // question writes nothing, so that no character is replaced.
    if (reason.isEmpty() && !markdown) {
        const std::optional<ReadmeEncoding> chosen =
            context.readmeEncoding == ReadmeEncoding::Utf8
                ? ReadmeEncoding::Utf8
                : askForEncoding(charactersOutsideWindows1252(context.record, systems));
        if (!chosen)
            return;
        encoding = *chosen;
    }
    if (!reason.isEmpty()
        || !writeReadmeFile(*path, context.record, systems, markdown ? ReadmeFormat::Markdown : ReadmeFormat::Text,
                            encoding, context.platform.applicationFolder(), context.platform.userConfigFolder(),
                            &reason)) {
        context.platform.messageBox(this,
                                    QStringLiteral("There seems to be an error. Please contact the author.")
                                        + crLf + reason,
                                    QStringLiteral("Program error!"), okWarning);
        return;
    }
    context.readmeFile = QFileInfo(*path).absoluteFilePath();
    context.readmeEncoding = encoding;
    context.valuesAtFile = wizardValues(context.navigation, context);
    showReadmeFileInTitles(context.navigation, context);
    showWritten(QStringLiteral("Written to %1 at %2")
                    .arg(QDir::toNativeSeparators(homeShortened(context.readmeFile, homeFolder())),
                         QTime::currentTime().toString(QStringLiteral("HH:mm"))));
}

// One line under the buttons; a path too long for it loses its middle, and
// the whole line is the label's tooltip and what a screen reader reads.
void AuthorScreen::showWritten(const QString &line)
{
    writtenLabel->setText(writtenLabel->fontMetrics().elidedText(line, Qt::ElideMiddle, writtenLabel->width()));
    writtenLabel->setToolTip(line);
    writtenLabel->setAccessibleName(line);
}

std::optional<ReadmeEncoding> AuthorScreen::askForEncoding(const QList<char32_t> &outside)
{
    if (outside.isEmpty())
        return ReadmeEncoding::Windows1252;
    const MessageAnswer answer = context.platform.messageBox(
        this,
        QStringLiteral("The readme holds characters that Windows-1252 cannot hold:") + crLf + namedCharacters(outside)
            + crLf + QStringLiteral("Write it in UTF-8 (without a byte-order mark) instead?") + crLf
            + QStringLiteral("No writes nothing, so that no character is replaced by \"?\"."),
        QStringLiteral("Save as UTF-8?"), yesNoQuestion);
    if (answer != MessageAnswer::Yes)
        return std::nullopt;
    return ReadmeEncoding::Utf8;
}

void AuthorScreen::backToMain()
{
    context.navigation.change(this, ScreenId::Main);
}

void AuthorScreen::showCreateTip()
{
    createButton->setToolTip(context.tooltipsOn ? QStringLiteral("Creates the readme file")
                                                : QString());
}

void AuthorScreen::closeRequested()
{
    backToMain();
}

bool AuthorScreen::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == createButton && event->type() == QEvent::MouseMove)
        showCreateTip();
    return Screen::eventFilter(watched, event);
}

}  // namespace velmora
