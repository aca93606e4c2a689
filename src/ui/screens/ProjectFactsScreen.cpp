#include "ui/screens/ProjectFactsScreen.h"

#include "ui/screens/AppContext.h"
#include "ui/screens/GeneralInfoScreen.h"
#include "ui/screens/Wizard.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Placement.h"
#include "ui/toolkit/Twips.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>

#include <algorithm>

namespace velmora {

using namespace look;

namespace {

// The columns, and the rows' step, in twips.
constexpr int factLeft = 120, factWidth = 1500, valueLeft = 1680, valueWidth = 3600, sourceLeft = 5400,
              sourceWidth = 1680, rowHeight = 300, rowStep = 330, clientWidth = 7200;

struct FieldText {
    ProjectField field;
    const char *caption;  // the check box's, its access key taken by no button
};
const FieldText fieldTexts[] = {
    {ProjectField::Name, "&Name"},         {ProjectField::Version, "&Version"},
    {ProjectField::Description, "&Description"}, {ProjectField::WebSite, "&Web site"},
    {ProjectField::Author, "&Author"},     {ProjectField::EMail, "&E-mail"},
    {ProjectField::LicenceId, "&Licence"}, {ProjectField::LicenceText, "Licence &text"},
};
// The keys of the captions above and of the buttons, which the values' radio
// buttons leave alone.
const QString fixedKeys = QStringLiteral("nvdwaeltuco");

// The value a fact puts into its box: a licence's text stays in its file,
// which the readme names.
QString valueOf(const ProjectFact &fact)
{
    return fact.field == ProjectField::LicenceText ? QStringLiteral("See the file %1").arg(fact.source) : fact.value;
}

// The first line of text, cut with an ellipsis where it would pass width
// pixels, so that it always shows whole.
QString fitted(const QWidget *w, const QString &text, int width)
{
    const QString line = text.section(QStringLiteral("\r\n"), 0, 0);
    const QString shown = line.size() < text.size() ? line + QChar(0x2026) : line;
    return w->fontMetrics().elidedText(shown, Qt::ElideRight, width);
}

// A label of that text, cut to width twips.
QLabel *fittedLabel(QWidget *parent, const QString &text, int left, int top, int width, const QColor &colour = {})
{
    QLabel *l = colour.isValid() ? heading(parent, QString(), left, top, colour, false) : label(parent, QString(), left, top);
    l->setText(fitted(l, text, px(width)));
    l->adjustSize();
    if (l->text() != text)
        l->setToolTip(text);
    return l;
}

// A caption shows a value as it is (an '&' doubled) with an access key on
// its first letter or digit that no other control has taken.
QString withFreeKey(const QString &text, QSet<QChar> &taken)
{
    QString caption;
    bool keyed = false;
    for (QChar c : text) {
        if (!keyed && c.isLetterOrNumber() && !taken.contains(c.toLower())) {
            taken.insert(c.toLower());
            caption += u'&';
            keyed = true;
        }
        caption += c == u'&' ? QStringLiteral("&&") : QString(c);
    }
    return caption;
}

// True when the field's box in the wizard holds nothing the user typed.
bool untouched(ProjectField field, const WizardValues &now)
{
    switch (field) {
    case ProjectField::Name: return now.name.isEmpty();
    case ProjectField::Version: return now.version.isEmpty();
    case ProjectField::Description: return now.description.isEmpty();
    case ProjectField::WebSite: return !now.webSite.countsAsTyped();
    case ProjectField::Author: return !now.authorName.countsAsTyped();
    case ProjectField::EMail: return !now.authorEMail.countsAsTyped();
    case ProjectField::LicenceId: return now.licence.isEmpty();
    case ProjectField::LicenceText: return now.licenceText.isEmpty();
    }
    return false;
}

void put(ProjectField field, const QString &value, WizardValues &values)
{
    switch (field) {
    case ProjectField::Name: values.name = value; break;
    case ProjectField::Version: values.version = value; break;
    case ProjectField::Description: values.description = value; break;
    case ProjectField::WebSite: values.webSite.text = value; break;
    case ProjectField::Author: values.authorName.text = value; break;
    case ProjectField::EMail: values.authorEMail.text = value; break;
    case ProjectField::LicenceId: values.licence = value; break;
    case ProjectField::LicenceText: values.licenceText = value; break;
    }
}

}  // namespace

ProjectFactsScreen::ProjectFactsScreen(AppContext &context)
    : Screen(QStringLiteral("From project folder"), clientWidth, 1800), context(context)
{
    useButton = button(client(), "&Use", 0, 0, 975, 375);
    cancelButton = button(client(), "&Cancel", 0, 0, 975, 375);
    connect(useButton, &QPushButton::clicked, this, &ProjectFactsScreen::useFacts);
    connect(cancelButton, &QPushButton::clicked, this, &ProjectFactsScreen::cancel);
}

void ProjectFactsScreen::activate()
{
    buildRows();
    centreOnScreen(this);
    if (!rows.isEmpty())
        rows.first().use->setFocus();
    else
        useButton->setFocus();
}

void ProjectFactsScreen::buildRows()
{
    for (const QPointer<QObject> &object : std::as_const(made))
        delete object.data();
    made.clear();
    rows.clear();
    readmeButton = nullptr;
    QWidget *c = client();
    const ProjectFacts &found = context.projectFacts;
    showFileName(QDir::toNativeSeparators(context.projectFolder));
    const auto keep = [this](auto *object) {
        made.append(object);
        return object;
    };

    keep(heading(c, found.facts.isEmpty() ? QStringLiteral("Nothing was found in this folder.")
                                          : QStringLiteral("Check the facts to put into the wizard:"),
                 120, 120, darkBlue()));
    keep(heading(c, "Fact", factLeft, 480, darkBlue(), false));
    keep(heading(c, "Value", valueLeft, 480, darkBlue(), false));
    keep(heading(c, "From", sourceLeft, 480, darkBlue(), false));

    const WizardValues now = wizardValues(context.navigation, context);
    QSet<QChar> taken(fixedKeys.cbegin(), fixedKeys.cend());
    QList<QWidget *> tabOrder;
    int top = 780;
    const auto sourceLabel = [&](const QString &sources, int rowTop) {
        keep(fittedLabel(c, sources, sourceLeft, rowTop + 30, sourceWidth));
    };
    for (const FieldText &text : fieldTexts) {
        // The field's distinct values, first found first, each with every
        // source that gives it.
        QStringList values, sources;
        for (const ProjectFact &fact : found.factsFor(text.field)) {
            const QString value = valueOf(fact);
            const qsizetype at = values.indexOf(value);
            if (at >= 0) {
                sources[at] += QStringLiteral(", ") + fact.source;
            } else {
                values << value;
                sources << fact.source;
            }
        }
        if (values.isEmpty())
            continue;
        FieldRow row{text.field, keep(new QCheckBox(QString::fromLatin1(text.caption), c)), values, nullptr};
        row.use->setGeometry(px(factLeft), px(top), std::min(row.use->sizeHint().width(), px(factWidth)), px(rowHeight));
        row.use->setChecked(untouched(text.field, now));
        tabOrder << row.use;
        if (values.size() == 1) {
            keep(fittedLabel(c, values.first(), valueLeft, top + 30, valueWidth));
            row.use->setAccessibleDescription(values.first() + QStringLiteral(", from ") + sources.first());
            sourceLabel(sources.first(), top);
            top += rowStep;
        } else {
            row.choice = keep(new QButtonGroup(this));
            for (int i = 0; i < values.size(); ++i) {
                auto *radio = keep(new QRadioButton(c));
                const int room = px(valueWidth) - radio->sizeHint().width() - 8;
                radio->setText(withFreeKey(fitted(radio, values[i], room), taken));
                // As wide as its caption: a click beside it chooses nothing.
                radio->setGeometry(px(valueLeft), px(top), std::min(radio->sizeHint().width(), px(valueWidth)), px(rowHeight));
                radio->setToolTip(values[i]);
                radio->setAccessibleDescription(QStringLiteral("from ") + sources[i]);
                row.choice->addButton(radio, i);
                tabOrder << radio;
                sourceLabel(sources[i], top);
                top += rowStep;
            }
            row.choice->button(0)->setChecked(true);
        }
        rows.append(row);
    }
    for (const QString &problem : found.problems) {
        keep(fittedLabel(c, problem, factLeft, top + 30, clientWidth - 240, QColor(128, 0, 0)));
        top += rowStep;
    }
    if (!found.readmePath.isEmpty()) {
        const QString name = QDir(context.projectFolder).relativeFilePath(found.readmePath);
        keep(fittedLabel(c, QStringLiteral("Velmora wrote %1 here.").arg(name), factLeft, top + 90, 5400));
        readmeButton = keep(button(c, "&Open readme", 5745, top + 30, 1335, 375));
        readmeButton->setAccessibleDescription(name);
        connect(readmeButton, &QPushButton::clicked, this, &ProjectFactsScreen::openFoundReadme);
        tabOrder << readmeButton;
        top += 480;
    }
    top += 120;
    horizontalSeparator(c, 120, clientWidth - 120, top, top + 15);
    made.append(c->children().constLast());
    useButton->setGeometry(twipsRect(4920, top + 240, 975, 375));
    cancelButton->setGeometry(twipsRect(6105, top + 240, 975, 375));
    tabOrder << useButton << cancelButton;
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);

    const QSize size = twipsSize(clientWidth, top + 240 + 375 + 120);
    c->resize(size);
    setFixedSize(size);
    for (QObject *object : std::as_const(made))
        if (auto *w = qobject_cast<QWidget *>(object))
            w->show();
}

QString ProjectFactsScreen::chosenValue(const FieldRow &row) const
{
    return row.values.value(row.choice ? row.choice->checkedId() : 0);
}

// The checked facts go into their boxes as if typed, through the one way
// into the wizard; what is not checked stays as it was.
void ProjectFactsScreen::useFacts()
{
    WizardValues values = wizardValues(context.navigation, context);
    for (const FieldRow &row : std::as_const(rows))
        if (row.use->isChecked())
            put(row.field, chosenValue(row), values);
    putIntoWizard(context.navigation, context, values);
    context.navigation.wizardReplaced();
    context.navigation.change(this, ScreenId::Main);
}

void ProjectFactsScreen::cancel()
{
    context.navigation.change(this, ScreenId::Main);
}

void ProjectFactsScreen::closeRequested()
{
    cancel();
}

// As File > Open readme with that file, from the main screen: its question
// over what was typed comes first.
void ProjectFactsScreen::openFoundReadme()
{
    const QString path = context.projectFacts.readmePath;
    context.navigation.change(this, ScreenId::Main);
    if (context.mainScreen)
        context.mainScreen->openReadmeFile(path);
}

}  // namespace velmora
