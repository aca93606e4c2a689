#include "core/readme/MarkdownLayout.h"

#include "core/readme/FieldMatcher.h"
#include "core/readme/LayoutText.h"
#include "core/readme/MarkdownBlocks.h"
#include "core/readme/MarkdownInline.h"
#include "core/text/LineBreaks.h"

#include <utility>
#include <vector>

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

namespace {
const QString lineBreak = QStringLiteral("  ");
}  // namespace

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
    // The language may hold several lines: each further one stands in the
    // same list entry, indented by two spaces (an empty one empty), and a
    // line followed by another ends in a line break.
    const QStringList language = toLf(record.language).split(u'\n');
    const QStringList general = {escapeText(record.version, Place::Inline),
                                 escapeText(record.company, Place::Inline),
                                 escapeText(language.first(), Place::Inline), webSite,
                                 escapeText(record.authorName, Place::Inline)};
    for (int i = 0; i < general.size(); ++i) {
        out << (general[i].isEmpty() ? generalLabels()[i] : generalLabels()[i] + u' ' + general[i]);
        if (i != 2)
            continue;
        for (qsizetype k = 1; k < language.size(); ++k) {
            if (!language[k].isEmpty())
                out.last() += lineBreak;
            out << (language[k].isEmpty() ? QString() : layout::continuationIndent + escapeText(language[k], Place::BlockStart));
        }
    }
    out << QString();

    section(layout::agreement);
    if (!record.licence.isEmpty() || !record.licenceText.isEmpty()) {
        // The licence, then its text as a field of its own.
        out << itemHeading(licenceTitle) << QString();
        out << (record.licence.isEmpty() ? licenceLabel : licenceLabel + u' ' + escapeText(record.licence, Place::Inline))
            << QString();
        if (!record.licenceText.isEmpty())
            out << markdown::fieldLines(record.licenceText) << QString();
    }
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

QString whyMarkdownCannotHold(const ReadmeRecord &r, const QStringList &compatibleSystems)
{
    const std::pair<const QString *, const char *> values[] = {
        {&r.programName, "the program name"}, {&r.version, "the version"}, {&r.company, "the company"},
        {&r.language, "the language"}, {&r.webSite, "the web site"}, {&r.authorName, "the author's name"},
        {&r.filesNeeded, "the files needed"}, {&r.description, "the description"},
        {&r.instructions, "the instructions"}, {&r.newAdditions, "the new additions"},
        {&r.features, "the features"}, {&r.additions, "the additions"}, {&r.authorEMail, "the e-mail address"},
        {&r.licence, "the licence"}, {&r.licenceText, "the licence's text"}};
    const char *holder = nullptr;
    for (const auto &[value, name] : values) {
        if (!holder && value->contains(QChar(u'\0')))
            holder = name;
    }
    if (!holder && compatibleSystems.join(QString()).contains(QChar(u'\0')))
        holder = "a compatible system";
    if (!holder)
        return QString();
    return QStringLiteral("Markdown cannot hold the NUL character (U+0000) that %1 holds: take it out, or save "
                          "the readme as text (*.txt).")
        .arg(QLatin1String(holder));
}

// ------------------------------------------------------------- reading back

using namespace readback;

namespace {

// A title's text split at the parentheses of the type: the parts read with
// escapes in mind, so that a name's own (escaped) parentheses stay in it.
std::optional<Mismatch> readTitle(const QString &line, ReadmeRecord &r)
{
    QString text;
    if (line == QStringLiteral("#"))
        text = QString();
    else if (line.startsWith(QStringLiteral("# ")))
        text = line.mid(2);
    else
        return Mismatch{0, QStringLiteral("\"# \", then the program name and its type in parentheses")};
    while (!text.isEmpty() && (text.back() == u' ' || text.back() == u'\t'))
        text.chop(1);

    // Positions of the parentheses that no backslash escapes.
    qsizetype open = -1;
    bool closedAtEnd = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size()) {
            ++i;
            continue;
        }
        if (text[i] == u'(')
            open = i;
        if (text[i] == u')' && i == text.size() - 1)
            closedAtEnd = true;
    }
    QString name = text;
    if (closedAtEnd && open >= 0) {
        r.programType = markdown::unescapeText(QStringView(text).sliced(open + 1, text.size() - open - 2));
        name = text.left(open);
        if (name.endsWith(u' '))
            name.chop(1);
        if (!layout::programTypes.contains(r.programType))
            return Mismatch{0, typeExpected()};
    }
    r.programName = markdown::unescapeText(name);
    return std::nullopt;
}

// A row without the two spaces of a line break at its end. An escaped
// value never ends in a space of its own.
QString withoutLineBreak(const QString &row)
{
    return row.endsWith(lineBreak) ? row.chopped(lineBreak.size()) : row;
}

// A value that is a link (the web site, the e-mail) or escaped text.
QString readValue(const QString &source)
{
    QString text;
    if (markdown::readLink(source, text))
        return text;
    return markdown::unescapeText(source);
}

}  // namespace

Outcome readMarkdownLayout(const QStringList &lines)
{
    using namespace markdownLayout;
    const FieldMatcher in(lines);
    const QString e;

    ReadmeRecord r;
    if (auto bad = readTitle(in.line(0), r))
        return *bad;
    if (auto bad = in.expectRows(1, {e, sectionHeading(layout::general), e}))
        return *bad;
    QString *general[] = {&r.version, &r.company, &r.language, &r.webSite, &r.authorName};
    std::array<int, 5> generalLines;
    int at = 4;
    for (int k = 0; k < 5; ++k, ++at) {
        const QString &label = generalLabels()[k];
        const QString &row = in.line(at);
        if (at >= in.size() || !(row == label || row.startsWith(label + u' ')))
            return Mismatch{at, quoted(label) + QStringLiteral(", then the value")};
        generalLines[k] = at;
        *general[k] = readValue(withoutLineBreak(row).mid(label.size() + 1));
        // The language's further lines, up to the web site's row.
        while (k == 2 && at + 1 < in.size() && (in.is(at + 1, e) || in.line(at + 1).startsWith(layout::continuationIndent))) {
            ++at;
            *general[k] += crLf + markdown::unescapeText(withoutLineBreak(in.line(at).mid(layout::continuationIndent.size())));
        }
    }
    if (auto bad = in.expectRows(at, {e, sectionHeading(layout::agreement), e}))
        return *bad;
    // The licence's section, when there is one; its text may hold the rows
    // that follow, so each place where they stand is tried until the rest
    // of the file reads.
    const int body = at + 3;
    const QStringList freeware = {sectionHeading(layout::freeware), e, sectionHeading(layout::program), e};
    const bool licensed = in.is(body, itemHeading(licenceTitle));
    QList<int> freewareRows;
    if (!licensed) {
        if (auto bad = in.expectRows(body, freeware))
            return *bad;
        freewareRows << body;
    } else {
        const QString &row = in.line(body + 2);
        if (auto bad = in.expectRows(body + 1, {e}))
            return *bad;
        if (!(row == licenceLabel || row.startsWith(licenceLabel + u' ')))
            return Mismatch{body + 2, quoted(licenceLabel) + QStringLiteral(", then the licence")};
        if (auto bad = in.expectRows(body + 3, {e}))
            return *bad;
        for (int q = body + 4; q < in.size() && freewareRows.size() < 64; ++q) {
            if ((q == body + 4 || in.is(q - 1, e)) && in.matches(q, freeware))
                freewareRows << q;
        }
        if (freewareRows.isEmpty())
            return Mismatch{body + 4, quoted(freeware.first())};
    }

    auto readFrom = [&](int freewareAt, ReadmeRecord r) -> Outcome {
        if (licensed) {
            r.licence = readValue(withoutLineBreak(in.line(body + 2)).mid(licenceLabel.size() + 1));
            if (freewareAt > body + 4)
                r.licenceText = markdown::fieldFromLines(lines.mid(body + 4, freewareAt - 1 - (body + 4)));
        }
        const int itemsStart = freewareAt + int(freeware.size());

        // From the end: the thanks, the e-mail when there is one, the two
        // sentences, the AUTHOR heading.
        const int n = in.size();
        const bool hasEMail = !in.is(n - 3, layout::reachLine2);
        const int author = n - (hasEMail ? 8 : 6);
        const QStringList authorRows = {sectionHeading(layout::author), e, layout::reachLine1, layout::reachLine2, e};
        const bool tailFits = author > itemsStart && in.matches(author, authorRows)
                              && in.is(n - 2, e) && in.is(n - 1, layout::thanks);
        const QString compatibleTitle = itemHeading(layout::compatibleMarkdownTitle);
        auto isEntry = [](const QString &row) { return row == QStringLiteral("-") || row.startsWith(QStringLiteral("- ")); };
        std::vector<char> entriesUpTo(n + 2, 0);  // rows from q to the one before the AUTHOR block are entries
        if (tailFits) {
            entriesUpTo[author - 1] = 1;
            for (int q = author - 2; q >= 0; --q)
                entriesUpTo[q] = entriesUpTo[q + 1] && isEntry(in.line(q));
        }
        auto compatibleFits = [&](int p) {
            if (!tailFits || p + 2 > author || !in.is(p, compatibleTitle) || !in.is(p + 1, e))
                return false;
            return p + 2 == author || (p + 2 < author - 1 && in.is(author - 1, e) && entriesUpTo[p + 2]);
        };
        std::array<ItemForm, 6> forms;
        std::array<QStringList, 6> startRows;
        for (int i = 0; i < 6; ++i) {
            const QString heading = itemHeading(layout::items[i].markdownTitle);
            forms[i] = {{heading, e, noneGiven}, {heading, e}};
            startRows[i] = {heading};
        }

        // Fields as written first; then fields whose lines an editor stripped
        // of the spaces at their ends.
        std::optional<Items> items;
        for (bool strict : {true, false}) {
            markdown::FieldShape shape(strict);
            if (tailFits && !items)
                items = in.readItems(itemsStart, forms, compatibleFits, shape);
        }
        if (!items) {
            return in.whereItemsDiffer(itemsStart, forms, startRows, compatibleTitle, [&](int p) -> Mismatch {
                if (!in.is(p + 1, e))
                    return {p + 1, anEmptyLine};
                int q = p + 2;
                while (q < n && isEntry(in.line(q)))
                    ++q;
                if (q > p + 2) {
                    if (!in.is(q, e))
                        return {q, anEmptyLine + QStringLiteral(" or \"- \" and a system")};
                    ++q;
                }
                if (auto bad = in.expectRows(q, authorRows))
                    return *bad;
                q += int(authorRows.size());
                if (!in.is(q, layout::thanks)) {
                    if (!in.is(q + 1, e))
                        return {q + 1, anEmptyLine};
                    q += 2;
                }
                if (!in.is(q, layout::thanks))
                    return {q, quoted(layout::thanks)};
                return {q + 1, QStringLiteral("the end of the file")};
            });
        }

        std::array<QString, 6> values;
        for (int i = 0; i < 6; ++i) {
            if (!items->values[i].isEmpty())
                values[i] = markdown::fieldFromLines(items->values[i]);
        }
        setItems(r, values);
        RecognisedReadme result;
        for (int q = items->compatibleStart + 2; q < author - 1; ++q) {
            result.compatibleSystems << markdown::unescapeText(QStringView(in.line(q)).sliced(qMin<qsizetype>(2, in.line(q).size())));
            if (hasLineBreak(result.compatibleSystems.last()))
                return Mismatch{q, QStringLiteral("a system on one line")};
        }
        if (hasEMail)
            r.authorEMail = readValue(in.line(n - 3));
        if (auto bad = checkRecord(r, 0, n - 3, generalLines))
            return *bad;
        result.record = r;
        result.format = ReadmeFormat::Markdown;
        return result;
    };
    return firstThatReads(freewareRows, [&](int at) { return readFrom(at, r); });
}

}  // namespace velmora
