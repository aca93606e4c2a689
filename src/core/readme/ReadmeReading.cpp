#include "core/readme/ReadmeReading.h"

#include "core/text/LineBreaks.h"
#include "core/readme/LayoutText.h"
#include "core/readme/MarkdownBlocks.h"
#include "core/readme/MarkdownInline.h"
#include "core/readme/MarkdownLayout.h"
#include "core/text/BoundedFile.h"
#include "core/text/WholeFile.h"

#include <QFileInfo>

#include <array>
#include <optional>
#include <variant>
#include <vector>

namespace velmora {

namespace {

constexpr qsizetype shownLineChars = 60;

QString quoted(const QString &text)
{
    return u'"' + text + u'"';
}

const QString anEmptyLine = QStringLiteral("an empty line");

// Lines of the text, split at CR LF, LF or CR; a line break at the very end
// ends the last line rather than starting an empty one.
QStringList linesOf(const QString &text)
{
    QStringList lines = toLf(text).split(u'\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

struct Mismatch {
    int index;  // from 0
    QString expected;
};

// The items of PROGRAM: the rows of an empty item and the rows that stand
// before a filled item's value, in either layout.
struct ItemForm {
    QStringList noneRows;
    QStringList valueHead;
};

struct Items {
    std::array<QStringList, 6> values;  // the lines of each value, empty for "(none given)"
    int compatibleStart = 0;             // the compatible systems' title row
};

class LayoutReader {
public:
    explicit LayoutReader(const QStringList &lines) : m_lines(lines), m_n(int(lines.size())) {}

    const QString &line(int i) const
    {
        static const QString none;
        return i >= 0 && i < m_n ? m_lines[i] : none;
    }
    bool is(int i, const QString &text) const { return i < m_n && m_lines[i] == text; }
    bool matches(int p, const QStringList &rows) const
    {
        for (int k = 0; k < rows.size(); ++k) {
            if (!is(p + k, rows[k]))
                return false;
        }
        return true;
    }
    int size() const { return m_n; }

    // The first of rows that is not found at p, as a mismatch.
    std::optional<Mismatch> expectRows(int p, const QStringList &rows) const
    {
        for (int k = 0; k < rows.size(); ++k) {
            if (!is(p + k, rows[k]))
                return Mismatch{p + k, rows[k].isEmpty() ? anEmptyLine : quoted(rows[k])};
        }
        return std::nullopt;
    }

    // Items 1 to 6 from start on, followed by the compatible systems where
    // compatibleFits says they fit. Every way of splitting the lines is
    // weighed (each item's possible ends, from the last item back), so a
    // field holding rows of the layout never hides a split that works; of
    // those that work, an empty item is taken first, and each field takes
    // the fewest lines. shape says which lines make a field the writer
    // could have written, so that the record writes the same lines again.
    // Empty when the file does not follow the layout, or when its fields
    // hold the layout's rows so often that weighing them would take minutes.
    template <class CompatibleFits, class Shape>
    std::optional<Items> readItems(int start, const std::array<ItemForm, 6> &forms,
                                   CompatibleFits compatibleFits, Shape &shape) const
    {
        const int n = m_n;
        // fits[i][p]: item i (6: the systems) can start at p and the rest follows.
        std::array<std::vector<char>, 7> fits;
        fits[6].assign(n + 2, 0);
        for (int p = 0; p <= n; ++p)
            fits[6][p] = compatibleFits(p);
        // valueEnd[i][p]: the empty row after the value of item i when it starts at p.
        std::array<std::vector<int>, 6> valueEnd;
        qint64 budget = qint64(64) * 1024 * 1024;
        for (int i = 5; i >= 0; --i) {
            const std::vector<char> &next = fits[i + 1];
            fits[i].assign(n + 2, 0);
            valueEnd[i].assign(n + 2, -1);
            const ItemForm &form = forms[i];
            const int noneLength = int(form.noneRows.size());
            const int headLength = int(form.valueHead.size());
            // firstEnd[q]: the first empty row j >= q after which item i + 1 fits.
            std::vector<int> firstEnd(n + 3, -1);
            if constexpr (Shape::anyLines) {
                for (int q = n - 1; q >= 0; --q)
                    firstEnd[q] = (m_lines[q].isEmpty() && next[q + 1]) ? q : firstEnd[q + 1];
            }
            for (int p = 0; p < n; ++p) {
                const bool empty = matches(p, form.noneRows) && is(p + noneLength, QString())
                                   && next[p + noneLength + 1];
                if (matches(p, form.valueHead) && Shape::anyLines) {
                    // Any lines make a field but one empty line alone: the
                    // first end is looked up, in linear time however often
                    // the fields repeat the layout's rows.
                    const int s = p + headLength;
                    int end = s + 1 <= n ? firstEnd[s + 1] : -1;
                    if (end == s + 1 && m_lines[s].isEmpty())
                        end = firstEnd[s + 2];
                    valueEnd[i][p] = end;
                } else if (matches(p, form.valueHead)) {
                    shape.reset();
                    for (int j = p + headLength; j + 1 < n; ++j) {
                        if (--budget < 0 || !shape.add(m_lines[j]))
                            break;
                        if (m_lines[j + 1].isEmpty() && next[j + 2] && shape.whole()) {
                            valueEnd[i][p] = j + 1;
                            break;
                        }
                    }
                }
                fits[i][p] = empty || valueEnd[i][p] >= 0;
            }
            if (budget < 0)
                return std::nullopt;
        }
        if (!fits[0][start])
            return std::nullopt;

        Items items;
        int p = start;
        for (int i = 0; i < 6; ++i) {
            const ItemForm &form = forms[i];
            const int noneLength = int(form.noneRows.size());
            if (matches(p, form.noneRows) && is(p + noneLength, QString()) && fits[i + 1][p + noneLength + 1]) {
                p += noneLength + 1;
                continue;
            }
            const int first = p + int(form.valueHead.size());
            const int end = valueEnd[i][p];
            items.values[i] = m_lines.mid(first, end - first);
            p = end + 1;
        }
        items.compatibleStart = p;
        return items;
    }

    // Where the greedy walk (each field ending at the first place the next
    // item's row stands after an empty line) first leaves the layout. Run
    // only when the file does not follow it, to say where.
    template <class CompatibleMismatch>
    Mismatch whereItemsDiffer(int start, const std::array<ItemForm, 6> &forms,
                              const std::array<QStringList, 6> &startRows, const QString &compatibleTitle,
                              CompatibleMismatch compatibleMismatch) const
    {
        int p = start;
        for (int i = 0; i < 6; ++i) {
            const ItemForm &form = forms[i];
            const int noneLength = int(form.noneRows.size());
            if (matches(p, form.noneRows)) {
                if (!is(p + noneLength, QString()))
                    return {p + noneLength, anEmptyLine};
                p += noneLength + 1;
                continue;
            }
            if (!matches(p, form.valueHead)) {
                // Name the row of the two forms that the line comes closest to.
                const auto none = expectRows(p, form.noneRows);
                const auto head = expectRows(p, form.valueHead);
                if (none->index > head->index)
                    return *none;
                return head->index > p ? *head : Mismatch{p, startRowsExpected(forms[i])};
            }
            const QStringList &nextRows = i < 5 ? startRows[i + 1] : QStringList{compatibleTitle};
            const int first = p + int(form.valueHead.size());
            int j = first + 1;
            while (j < m_n && !(m_lines[j].isEmpty() && startsOneOf(j + 1, nextRows)))
                ++j;
            if (j >= m_n)
                return missingItem(first, i, forms, compatibleTitle);
            p = j + 1;
        }
        if (!is(p, compatibleTitle))
            return {p, quoted(compatibleTitle)};
        return compatibleMismatch(p);
    }

private:
    bool startsOneOf(int p, const QStringList &rows) const
    {
        for (const QString &row : rows) {
            if (is(p, row))
                return true;
        }
        return false;
    }

    static QString startRowsExpected(const ItemForm &form)
    {
        if (form.noneRows.first() == form.valueHead.first())
            return quoted(form.valueHead.first());
        return quoted(form.valueHead.first()) + QStringLiteral(" or ") + quoted(form.noneRows.first());
    }

    // Item i + 1 was not found after item i's value began at first: the
    // line where it most likely stood is the first one after an empty line
    // that belongs to a later part of the layout, or that begins like it.
    Mismatch missingItem(int first, int i, const std::array<ItemForm, 6> &forms, const QString &compatibleTitle) const
    {
        const QString expected =
            i < 5 ? startRowsExpected(forms[i + 1]) : quoted(compatibleTitle);
        const QString wanted = i < 5 ? forms[i + 1].valueHead.first() : compatibleTitle;
        const QString numberPrefix = wanted.left(wanted.indexOf(u' ') + 1);
        // The item's row is there, but not after an empty line.
        const QStringList nextRows = i < 5 ? QStringList{forms[i + 1].valueHead.first(), forms[i + 1].noneRows.first()}
                                           : QStringList{compatibleTitle};
        for (int j = first + 1; j < m_n; ++j) {
            if (nextRows.contains(m_lines[j]))
                return {j, anEmptyLine};
        }
        for (int j = first + 1; j < m_n; ++j) {
            if (!m_lines[j - 1].isEmpty())
                continue;
            const QString &row = m_lines[j];
            bool later = row == compatibleTitle || row == layout::rule || row.startsWith(QStringLiteral("## "));
            for (int k = i + 1; k < 6 && !later; ++k)
                later = forms[k].valueHead.first() == row || forms[k].noneRows.first() == row;
            if (later || (!numberPrefix.isEmpty() && row.startsWith(numberPrefix.left(2))))
                return {j, expected};
        }
        return {m_n, expected};
    }

    const QStringList &m_lines;
    const int m_n;
};

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

// Each value its box could not hold, with the line it stands on.
struct Checked {
    const QString *value;
    int index;
    int maxChars;  // 0: no limit
    QString what;
};

bool hasLineBreak(const QString &value)
{
    return value.contains(u'\r') || value.contains(u'\n');
}

std::optional<Mismatch> checkValues(const std::vector<Checked> &values)
{
    for (const Checked &c : values) {
        if (hasLineBreak(*c.value) || (c.maxChars > 0 && c.value->size() > c.maxChars)) {
            if (c.maxChars > 0)
                return Mismatch{c.index, QStringLiteral("%1 of at most %2 characters on one line").arg(c.what).arg(c.maxChars)};
            return Mismatch{c.index, c.what + QStringLiteral(" on one line")};
        }
    }
    return std::nullopt;
}

std::optional<Mismatch> checkVersion(const QString &version, int index)
{
    bool ok = version.size() <= layout::maxVersionChars;
    for (QChar c : version)
        ok = ok && ((c >= u'0' && c <= u'9') || c == u'.');
    if (ok)
        return std::nullopt;
    return Mismatch{index, QStringLiteral("a version of at most %1 characters, digits and \".\" only")
                               .arg(layout::maxVersionChars)};
}

QString typeExpected()
{
    return QStringLiteral("the type in parentheses: \"") + layout::programTypes.join(QStringLiteral("\", \""))
           + QStringLiteral("\" or nothing");
}

// generalLines: the lines of version, company, language, web site, author.
std::optional<Mismatch> checkRecord(const ReadmeRecord &r, int nameLine, int eMailLine,
                                    std::array<int, 5> generalLines)
{
    if (auto bad = checkValues({{&r.programName, nameLine, layout::maxProgramNameChars, QStringLiteral("a program name")}}))
        return bad;
    if (auto bad = checkVersion(r.version, generalLines[0]))
        return bad;
    return checkValues({{&r.company, generalLines[1], layout::maxCompanyChars, QStringLiteral("a company")},
                        {&r.language, generalLines[2], 0, QStringLiteral("a language")},
                        {&r.webSite, generalLines[3], 0, QStringLiteral("a web site")},
                        {&r.authorName, generalLines[4], layout::maxAuthorNameChars, QStringLiteral("an author's name")},
                        {&r.authorEMail, eMailLine, layout::maxAuthorEMailChars, QStringLiteral("an e-mail address")}});
}

void setItems(ReadmeRecord &r, const std::array<QString, 6> &values)
{
    r.filesNeeded = values[0];
    r.description = values[1];
    r.instructions = values[2];
    r.newAdditions = values[3];
    r.features = values[4];
    r.additions = values[5];
}

using Outcome = std::variant<Mismatch, RecognisedReadme>;

// ---------------------------------------------------------------- text layout

Outcome readTextLayout(const QStringList &lines)
{
    const LayoutReader in(lines);
    const QString e;  // an empty row
    const QString &rule = layout::rule;

    // Rows 1 to 4, and 11 to 44 after the six general rows.
    if (auto bad = in.expectRows(0, {rule, layout::general, rule, e}))
        return *bad;
    QStringList fixed = {e, rule, layout::agreement, rule, e};
    for (int k = 0; k < 17; ++k)
        fixed << e;  // the agreement's rows
    fixed << rule << layout::freeware << rule << e << e << e << e << e << rule << layout::program << rule << e;
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
    r.version = in.line(5);
    r.company = in.line(6);
    r.language = in.line(7);
    r.webSite = in.line(8);
    r.authorName = in.line(9);
    if (auto bad = in.expectRows(10, fixed))
        return *bad;

    // Rows 58 to 69 close the file; the systems stand between row 57 and them.
    const QStringList tailBefore = {e, rule, layout::author, rule, e, layout::reachLine1, layout::reachLine2, e};
    const QStringList tailAfter = {e, e, layout::thanks};
    const int itemsStart = 10 + int(fixed.size());
    const int tail = in.size() - 12;
    const bool tailFits = tail > itemsStart && in.matches(tail, tailBefore)
                          && in.line(tail + 8).startsWith(layout::eMailIndent) && in.matches(tail + 9, tailAfter);
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
            if (!in.line(q + 8).startsWith(layout::eMailIndent))
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
    if (auto bad = checkRecord(r, 4, tail + 8, {5, 6, 7, 8, 9}))
        return *bad;
    result.record = r;
    result.format = ReadmeFormat::Text;
    return result;
}

// ------------------------------------------------------------ Markdown layout

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

// A value that is a link (the web site, the e-mail) or escaped text.
QString readValue(const QString &source)
{
    QString text;
    if (markdown::readLink(source, text))
        return text;
    return markdown::unescapeText(source);
}

Outcome readMarkdownLayout(const QStringList &lines)
{
    using namespace markdownLayout;
    const LayoutReader in(lines);
    const QString e;

    ReadmeRecord r;
    if (auto bad = readTitle(in.line(0), r))
        return *bad;
    if (auto bad = in.expectRows(1, {e, sectionHeading(layout::general), e}))
        return *bad;
    QString *general[] = {&r.version, &r.company, &r.language, &r.webSite, &r.authorName};
    for (int k = 0; k < 5; ++k) {
        const QString &label = generalLabels()[k];
        const QString &row = in.line(4 + k);
        if (4 + k >= in.size() || !(row == label || row.startsWith(label + u' ')))
            return Mismatch{4 + k, quoted(label) + QStringLiteral(", then the value")};
        *general[k] = readValue(row.mid(label.size() + 1));
    }
    const QStringList fixed = {e, sectionHeading(layout::agreement), e, sectionHeading(layout::freeware), e,
                               sectionHeading(layout::program), e};
    if (auto bad = in.expectRows(9, fixed))
        return *bad;
    const int itemsStart = 9 + int(fixed.size());

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
    if (auto bad = checkRecord(r, 0, n - 3, {4, 5, 6, 7, 8}))
        return *bad;
    result.record = r;
    result.format = ReadmeFormat::Markdown;
    return result;
}

QString firstChars(const QString &line)
{
    qsizetype n = qMin(line.size(), shownLineChars);
    if (n > 0 && n < line.size() && line[n - 1].isHighSurrogate())
        --n;
    return line.left(n);
}

}  // namespace

RecognisedReadme recogniseReadme(const QByteArray &bytes)
{
    const bool utf8 = bytes.startsWith("\xEF\xBB\xBF") || QByteArrayView(bytes).isValidUtf8();
    const QStringList lines = linesOf(decodeTextFile(bytes));

    Outcome outcome;
    const bool markdown = !lines.isEmpty() && lines.first().startsWith(u'#');
    if (lines.size() > maxViewerFileLines)
        outcome = Mismatch{int(maxViewerFileLines), QStringLiteral("the end of the file: a readme has at most %L1 lines").arg(maxViewerFileLines)};
    else
        outcome = markdown ? readMarkdownLayout(lines) : readTextLayout(lines);

    if (auto *mismatch = std::get_if<Mismatch>(&outcome)) {
        RecognisedReadme result;
        result.format = markdown ? ReadmeFormat::Markdown : ReadmeFormat::Text;
        result.encoding = utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1252;
        result.mismatch.lineNumber = mismatch->index + 1;
        result.mismatch.lineStart = firstChars(mismatch->index < lines.size() ? lines[mismatch->index] : QString());
        result.mismatch.expected = mismatch->expected;
        return result;
    }
    RecognisedReadme result = std::get<RecognisedReadme>(std::move(outcome));
    result.recognised = true;
    result.encoding = utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    return result;
}

RecognisedReadme recogniseReadmeFile(const QString &path)
{
    const BoundedFile file = readBoundedFile(path, maxViewerFileBytes);
    RecognisedReadme result;
    switch (file.outcome) {
    case BoundedFile::Outcome::Read:
        return recogniseReadme(file.bytes);
    case BoundedFile::Outcome::Missing:
        result.readError = QStringLiteral("the file does not exist.");
        break;
    case BoundedFile::Outcome::NotAFile:
        result.readError = QStringLiteral("it is not a regular file.");
        break;
    case BoundedFile::Outcome::TooLarge:
        result.readError = QStringLiteral("it is larger than 16 MiB, which no readme is.");
        break;
    case BoundedFile::Outcome::Unreadable:
        // A name that cannot even be looked up (a folder on the way that
        // may not be searched, a loop of links) is a file that does not
        // exist; otherwise the system's reason, in Qt's words.
        result.readError = QFileInfo::exists(path) ? qt_error_string(file.error) + u'.'
                                                    : QStringLiteral("the file does not exist.");
        break;
    }
    return result;
}

QString notRecognisedMessage(const RecognisedReadme &result)
{
    if (!result.readError.isEmpty())
        return QStringLiteral("This file cannot be read: ") + result.readError;
    const ReadmeMismatch &m = result.mismatch;
    const QString layoutName = result.format == ReadmeFormat::Markdown ? QStringLiteral("Markdown readme")
                                                                         : QStringLiteral("readme");
    return QStringLiteral("This file is not a %1 that Velmora wrote, or it was changed by hand.").arg(layoutName)
           + crLf + QStringLiteral("Line %L1 differs: \"%2\"").arg(m.lineNumber).arg(m.lineStart) + crLf
           + QStringLiteral("Expected there: %1.").arg(m.expected);
}

}  // namespace velmora
