#include "core/readme/WizardValues.h"

namespace velmora {

QStringList startingSystems()
{
    return {QStringLiteral("Windows 95"),   QStringLiteral("Windows 98"),
            QStringLiteral("Windows 98SE"), QStringLiteral("Windows ME"),
            QStringLiteral("Windows 2000"), QStringLiteral("Windows NT"),
            QStringLiteral("Windows XP"),   QStringLiteral("Windows 10"),
            QStringLiteral("Windows 11"),   QStringLiteral("macOS"),
            QStringLiteral("Linux"),        QStringLiteral("FreeBSD"),
            QStringLiteral("Android"),      QStringLiteral("iOS"),
            QStringLiteral("Web browser")};
}

namespace {

// A record field copied from a box the presets fill: typed unless it is
// what the presets put into that box.
bool typedFrom(const QString &field, const PresetBoxValue &box)
{
    return !field.isEmpty() && field != box.filled.value_or(QString());
}

}  // namespace

bool holdsTypedText(const WizardValues &v)
{
    for (const QString *text : {&v.name, &v.version, &v.type, &v.description, &v.instructions,
                                &v.features, &v.additions, &v.newFeatures, &v.licence, &v.licenceText})
        if (!text->isEmpty())
            return true;
    for (const PresetBoxValue *box :
         {&v.company, &v.webSite, &v.language, &v.filesNeeded, &v.authorName, &v.authorEMail})
        if (box->countsAsTyped())
            return true;
    // The user's own systems follow the starting ones; adding one is no
    // typing (it is kept apart from the wizard), moving any system is.
    const QStringList starting = startingSystems();
    if (!v.compatibleSystems.isEmpty() || v.otherSystems.mid(0, starting.size()) != starting)
        return true;

    const ReadmeRecord &r = v.record;
    for (const QString *field : {&r.programName, &r.version, &r.programType, &r.description,
                                 &r.instructions, &r.newAdditions, &r.features, &r.additions, &r.licence,
                                 &r.licenceText})
        if (!field->isEmpty())
            return true;
    return typedFrom(r.company, v.company) || typedFrom(r.webSite, v.webSite)
           || typedFrom(r.language, v.language) || typedFrom(r.filesNeeded, v.filesNeeded)
           || typedFrom(r.authorName, v.authorName) || typedFrom(r.authorEMail, v.authorEMail);
}

bool typedSince(const std::optional<WizardValues> &then, const WizardValues &now)
{
    if (!then)
        return holdsTypedText(now);
    for (auto text : {&WizardValues::name, &WizardValues::version, &WizardValues::type, &WizardValues::description,
                      &WizardValues::instructions, &WizardValues::features, &WizardValues::additions,
                      &WizardValues::newFeatures, &WizardValues::licence, &WizardValues::licenceText})
        if (now.*text != (*then).*text)
            return true;
    for (auto box : {&WizardValues::company, &WizardValues::webSite, &WizardValues::language,
                     &WizardValues::filesNeeded, &WizardValues::authorName, &WizardValues::authorEMail})
        if ((now.*box).countsAsTyped() && (now.*box).text != ((*then).*box).text)
            return true;
    return now.compatibleSystems != then->compatibleSystems || now.otherSystems != then->otherSystems;
}

}  // namespace velmora
