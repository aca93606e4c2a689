#include "core/readme/TextLayout.h"

#include "core/readme/FieldMatcher.h"
#include "core/readme/LayoutText.h"
#include "core/text/LineBreaks.h"
#include "core/text/Win1252.h"

#include <vector>

namespace velmora {

namespace {

using layout::rule;

void appendUtf8(QByteArray &out, QStringView text)
{
    out.append(text.toUtf8());
}

// Rows go straight into the file's bytes, so that a readme with large
// fields is not held twice.
class Rows {
public:
    Rows(qsizetype expectedSize, ReadmeEncoding encoding)
        : m_append(encoding == ReadmeEncoding::Utf8 ? appendUtf8 : appendWindows1252)
    {
        m_out.reserve(expectedSize);
    }

    // One row: its parts appended in place, then CR LF.
    template <class... Parts>
    void row(const Parts &...parts)
    {
        (m_append(m_out, QStringView(parts)), ...);
        m_append(m_out, crLf);
    }
    void emptyRows(int count)
    {
        for (int i = 0; i < count; ++i)
            row();
    }
    // The rule, the title, the rule, an empty row.
    void sectionHeader(const QString &title)
    {
        row(rule);
        row(title);
        row(rule);
        row();
    }
    // A labelled item: the "(none given)" row only for a field with no
    // characters at all; otherwise the label on its own line and the field,
    // unchanged, from the next line on.
    void item(const layout::Item &item, const QString &field)
    {
        if (field.isEmpty())
            row(item.noneGiven);
        else
            row(item.label, crLf, field);
    }
    // The language, which the presets may give several lines: its first
    // line on the row, each further line indented by two spaces (an empty
    // one empty), so that the general facts stay apart from it.
    void languageRows(const QString &language)
    {
        const QStringList lines = toLf(language).split(u'\n');
        row(lines.first());
        for (qsizetype i = 1; i < lines.size(); ++i) {
            if (lines[i].isEmpty())
                row();
            else
                row(layout::continuationIndent, lines[i]);
        }
    }
    QByteArray result() && { return std::move(m_out); }

private:
    void (*m_append)(QByteArray &, QStringView);
    QByteArray m_out;
};

}  // namespace

QByteArray readmeBytes(const ReadmeRecord &record, const QStringList &compatibleSystems,
                       ReadmeEncoding encoding)
{
    // The fixed rows take under 2,000 characters; the fields may be large.
    qsizetype size = 2048;
    for (const QString *field :
         {&record.programName, &record.programType, &record.version, &record.company,
          &record.language, &record.webSite, &record.authorName, &record.filesNeeded,
          &record.description, &record.instructions, &record.newAdditions, &record.features,
          &record.additions, &record.authorEMail, &record.licence, &record.licenceText})
        size += field->size();
    for (const QString &system : compatibleSystems)
        size += system.size() + 7;
    Rows r(size, encoding);
    r.sectionHeader(layout::general);                                                 // 1-4
    r.row(record.programName, QStringLiteral(" - ("), record.programType, QStringLiteral(")"));  // 5
    r.row(record.version);                                                            // 6
    r.row(record.company);                                                            // 7
    r.languageRows(record.language);                                                  // 8
    r.row(record.webSite);                                                            // 9
    r.row(record.authorName);                                                         // 10
    r.row();                                                                          // 11

    r.sectionHeader(layout::agreement);                      // 12-15
    if (record.licence.isEmpty() && record.licenceText.isEmpty()) {
        r.emptyRows(4);                                      // 16-19
        r.row();                                             // 20
        r.emptyRows(11);                                     // 21-31
    } else {
        // The licence, then its text after an empty row, as typed.
        r.row(layout::licenceLabel, record.licence);
        if (!record.licenceText.isEmpty())
            r.row(QString(), crLf, toCrLf(record.licenceText));
    }
    r.row();                                                 // 32

    r.sectionHeader(layout::freeware);                        // 33-36
    r.emptyRows(3);                                           // 37-39
    r.row();                                                  // 40

    r.sectionHeader(layout::program);               // 41-44
    r.item(layout::items[0], record.filesNeeded);   // 45
    r.row();                                         // 46
    r.item(layout::items[1], record.description);   // 47
    r.row();                                         // 48
    r.item(layout::items[2], record.instructions);  // 49
    r.row();                                         // 50
    r.item(layout::items[3], record.newAdditions);  // 51
    r.row();                                         // 52
    r.item(layout::items[4], record.features);      // 53
    r.row();                                         // 54
    r.item(layout::items[5], record.additions);     // 55
    r.row();                                         // 56
    r.row(layout::compatibleTitle);                  // 57
    for (const QString &system : compatibleSystems)
        r.row(layout::compatibleIndent, system);
    r.row();  // 58

    r.sectionHeader(layout::author);                 // 59-62
    r.row(layout::reachLine1);                       // 63
    r.row(layout::reachLine2);                       // 64
    r.row();                                         // 65
    r.row(layout::eMailIndent, record.authorEMail);  // 66
    r.row();                                         // 67
    r.row();                                         // 68
    r.row(layout::thanks);                           // 69
    return std::move(r).result();
}

QList<char32_t> charactersOutsideWindows1252(const ReadmeRecord &record,
                                             const QStringList &compatibleSystems)
{
    // The fields in the order the rows write them; the fixed texts are ASCII.
    OutsideWindows1252 outside;
    for (const QString *field :
         {&record.programName, &record.programType, &record.version, &record.company,
          &record.language, &record.webSite, &record.authorName, &record.filesNeeded,
          &record.description, &record.instructions, &record.newAdditions, &record.features,
          &record.additions, &record.licence, &record.licenceText})
        outside.scan(*field);
    for (const QString &system : compatibleSystems)
        outside.scan(system);
    outside.scan(record.authorEMail);
    return outside.characters();
}

// ------------------------------------------------------------- reading back

using namespace readback;

namespace {

// The lines of a field in the text layout: any, but one empty line alone,
// which is an empty field, written as "(none given)".
class TextFieldShape {
public:
    static constexpr bool anyLines = true;
    void reset() { m_lines = 0; }
    bool add(const QString &line)
    {
        if (m_lines++ == 0)
            m_firstEmpty = line.isEmpty();
        return true;
    }
    bool whole() const { return m_lines > 1 || !m_firstEmpty; }

private:
    int m_lines = 0;
    bool m_firstEmpty = false;
};

// The e-mail's row: two spaces, then the address; an empty row is an empty
// address whose two spaces an editor took off.
bool eMailRow(const QString &line)
{
    return line.isEmpty() || line.startsWith(layout::eMailIndent);
}

}  // namespace

Outcome readTextLayout(const QStringList &lines)
{
    const FieldMatcher in(lines);
    const QString e;  // an empty row
    const QString &rule = layout::rule;

    // Rows 1 to 4, and 11 to 44 after the six general rows.
    if (auto bad = in.expectRows(0, {rule, layout::general, rule, e}))
        return *bad;
    const QStringList agreementHead = {e, rule, layout::agreement, rule, e};
    QStringList noLicence;
    for (int k = 0; k < 17; ++k)
        noLicence << e;  // the agreement's rows without a licence
    const QStringList freeware = {rule, layout::freeware, rule, e, e, e, e, e, rule, layout::program, rule, e};
    if (in.size() <= 4)
        return Mismatch{in.size(), QStringLiteral("the program name, \" - (\", its type and \")\"")};

    // Row 5: the name, " - (", the type, ")". A type never holds " - (".
    ReadmeRecord r;
    const QString &titleRow = in.line(4);
    const qsizetype open = titleRow.lastIndexOf(QStringLiteral(" - ("));
    if (open < 0 || !titleRow.endsWith(u')'))
        return Mismatch{4, QStringLiteral("the program name, \" - (\", its type and \")\"")};
    r.programName = titleRow.left(open);
    r.programType = titleRow.mid(open + 4, titleRow.size() - open - 5);
    if (!r.programType.isEmpty() && !layout::programTypes.contains(r.programType))
        return Mismatch{4, typeExpected()};
    for (int k = 5; k <= 9; ++k) {
        if (k >= in.size())
            return Mismatch{k, QStringLiteral("a row of the general facts")};
    }
    // The language's further lines stand between its row and the web site;
    // where the general facts end shows how many there are.
    int more = 0;
    for (int p = 10; p + 3 < in.size() && more == 0; ++p) {
        if (in.matches(p, {e, rule, layout::agreement, rule}))
            more = p - 10;
    }
    for (int k = 8; k < 8 + more; ++k) {
        if (!in.line(k).isEmpty() && !in.line(k).startsWith(layout::continuationIndent))
            return Mismatch{k, QStringLiteral("two spaces and a further line of the language, or the web site")};
    }
    r.version = in.line(5);
    r.company = in.line(6);
    QStringList language = {in.line(7)};
    for (int k = 8; k < 8 + more; ++k)
        language << in.line(k).mid(layout::continuationIndent.size());
    r.language = language.join(crLf);
    r.webSite = in.line(8 + more);
    r.authorName = in.line(9 + more);
    if (auto bad = in.expectRows(10 + more, agreementHead))
        return *bad;

    // The agreement's rows: seventeen empty ones, or the licence, then its
    // text after an empty row, up to an empty row before FREEWARE
    // DEFINITION. Its text may hold the rows that follow, so each place
    // where they stand is tried until the rest of the file reads.
    const int body = 10 + more + int(agreementHead.size());
    QList<int> freewareRows;
    const bool licensed = in.line(body).startsWith(layout::licenceLabel.trimmed());
    if (!licensed) {
        if (auto bad = in.expectRows(body, noLicence + freeware))
            return *bad;
        freewareRows << body + 17;
    } else {
        for (int q = body + 2; q < in.size() && freewareRows.size() < 64; ++q) {
            if (in.is(q - 1, e) && in.matches(q, freeware) && (q == body + 2 || in.is(body + 1, e)))
                freewareRows << q;
        }
        if (freewareRows.isEmpty())
            return Mismatch{body + 1, anEmptyLine + QStringLiteral(", then the licence's text")};
    }

    auto readFrom = [&](int freewareAt, ReadmeRecord r) -> Outcome {
        if (licensed) {
            r.licence = in.line(body).mid(layout::licenceLabel.size());
            QStringList text;
            for (int k = body + 2; k < freewareAt - 1; ++k)
                text << in.line(k);
            r.licenceText = text.join(crLf);
        }

        // Rows 58 to 69 close the file; the systems stand between row 57 and them.
        const QStringList tailBefore = {e, rule, layout::author, rule, e, layout::reachLine1, layout::reachLine2, e};
        const QStringList tailAfter = {e, e, layout::thanks};
        const int itemsStart = freewareAt + int(freeware.size());
        const int tail = in.size() - 12;
        const bool tailFits = tail > itemsStart && in.matches(tail, tailBefore)
                              && eMailRow(in.line(tail + 8)) && in.matches(tail + 9, tailAfter);
        std::vector<char> indentedUpTo(in.size() + 2, 0);  // rows from q to the tail are all systems
        if (tailFits) {
            indentedUpTo[tail] = 1;
            for (int q = tail - 1; q >= 0; --q)
                indentedUpTo[q] = indentedUpTo[q + 1] && in.line(q).startsWith(layout::compatibleIndent);
        }
        auto compatibleFits = [&](int p) {
            return tailFits && p < tail && in.is(p, layout::compatibleTitle) && indentedUpTo[p + 1];
        };
        std::array<ItemForm, 6> forms;
        std::array<QStringList, 6> startRows;
        for (int i = 0; i < 6; ++i) {
            forms[i] = {{layout::items[i].noneGiven}, {layout::items[i].label}};
            startRows[i] = {layout::items[i].noneGiven, layout::items[i].label};
        }

        TextFieldShape shape;
        const std::optional<Items> items =
            tailFits ? in.readItems(itemsStart, forms, compatibleFits, shape) : std::nullopt;
        if (!items) {
            return in.whereItemsDiffer(itemsStart, forms, startRows, layout::compatibleTitle, [&](int p) -> Mismatch {
                int q = p + 1;
                while (q < in.size() && in.line(q).startsWith(layout::compatibleIndent))
                    ++q;
                if (auto bad = in.expectRows(q, tailBefore))
                    return Mismatch{bad->index, bad->expected + (bad->index == q ? QStringLiteral(" or a system indented by five spaces") : QString())};
                if (!eMailRow(in.line(q + 8)))
                    return Mismatch{q + 8, QStringLiteral("two spaces, then the author's e-mail")};
                if (auto bad = in.expectRows(q + 9, tailAfter))
                    return *bad;
                return Mismatch{q + 12, QStringLiteral("the end of the file")};
            });
        }

        std::array<QString, 6> values;
        for (int i = 0; i < 6; ++i)
            values[i] = items->values[i].join(crLf);
        setItems(r, values);
        r.authorEMail = in.line(tail + 8).mid(layout::eMailIndent.size());
        RecognisedReadme result;
        for (int q = items->compatibleStart + 1; q < tail; ++q)
            result.compatibleSystems << in.line(q).mid(layout::compatibleIndent.size());
        if (auto bad = checkRecord(r, 4, tail + 8, {5, 6, 7, 8 + more, 9 + more}))
            return *bad;
        result.record = r;
        result.format = ReadmeFormat::Text;
        return result;
    };
    return firstThatReads(freewareRows, [&](int at) { return readFrom(at, r); });
}

}  // namespace velmora
