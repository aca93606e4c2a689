#include "core/readme/MarkdownLayout.h"

#include "core/readme/LayoutText.h"
#include "core/readme/MarkdownBlocks.h"
#include "core/readme/MarkdownInline.h"

namespace velmora {

namespace markdownLayout {

QString sectionHeading(const QString &title)
{
    return QStringLiteral("## ") + title;
}

QString itemHeading(const QString &title)
{
    return QStringLiteral("### ") + title;
}

const QStringList &generalLabels()
{
    static const QStringList labels = {QStringLiteral("- **Version:**"), QStringLiteral("- **Company:**"),
                                       QStringLiteral("- **Language:**"), QStringLiteral("- **Web site:**"),
                                       QStringLiteral("- **Author:**")};
    return labels;
}

}  // namespace markdownLayout

using namespace markdownLayout;
using markdown::Place;
using markdown::escapeText;

QByteArray readmeMarkdownBytes(const ReadmeRecord &record, const QStringList &compatibleSystems)
{
    QStringList out;
    auto section = [&out](const QString &title) {
        out << sectionHeading(title) << QString();
    };

    QString title = escapeText(record.programName, Place::Title);
    if (!record.programType.isEmpty())
        title += (title.isEmpty() ? QStringLiteral("(") : QStringLiteral(" (")) + escapeText(record.programType, Place::Title) + u')';
    out << (title.isEmpty() ? QStringLiteral("#") : QStringLiteral("# ") + title) << QString();

    section(layout::general);
    const QString webSite = markdown::isWebAddress(record.webSite)
                                ? markdown::link(record.webSite, markdown::webAddressTarget(record.webSite))
                                : escapeText(record.webSite, Place::Inline);
    const QStringList general = {escapeText(record.version, Place::Inline),
                                 escapeText(record.company, Place::Inline),
                                 escapeText(record.language, Place::Inline), webSite,
                                 escapeText(record.authorName, Place::Inline)};
    for (int i = 0; i < general.size(); ++i)
        out << (general[i].isEmpty() ? generalLabels()[i] : generalLabels()[i] + u' ' + general[i]);
    out << QString();

    section(layout::agreement);
    section(layout::freeware);
    section(layout::program);
    const QString *fields[] = {&record.filesNeeded, &record.description, &record.instructions,
                               &record.newAdditions, &record.features, &record.additions};
    for (std::size_t i = 0; i < layout::items.size(); ++i) {
        out << itemHeading(layout::items[i].markdownTitle) << QString();
        if (fields[i]->isEmpty())
            out << noneGiven;
        else
            out << markdown::fieldLines(*fields[i]);
        out << QString();
    }
    out << itemHeading(layout::compatibleMarkdownTitle) << QString();
    for (const QString &system : compatibleSystems)
        out << QStringLiteral("- ") + escapeText(system, Place::BlockStart);
    if (!compatibleSystems.isEmpty())
        out << QString();

    section(layout::author);
    out << layout::reachLine1 << layout::reachLine2 << QString();
    if (!record.authorEMail.isEmpty()) {
        out << (markdown::isEMailAddress(record.authorEMail)
                    ? markdown::link(record.authorEMail, QStringLiteral("mailto:") + record.authorEMail)
                    : escapeText(record.authorEMail, Place::BlockStart))
            << QString();
    }
    out << layout::thanks;
    return (out.join(u'\n') + u'\n').toUtf8();
}

}  // namespace velmora
