#include "core/readme/MarkdownBlocks.h"

#include "core/text/LineBreaks.h"

#include <vector>

namespace velmora::markdown {

namespace {

// Columns of leading blanks, a tab reaching the next multiple of four.
int indentOf(QStringView line, qsizetype *length = nullptr)
{
    int columns = 0;
    qsizetype i = 0;
    for (; i < line.size(); ++i) {
        if (line[i] == u' ')
            ++columns;
        else if (line[i] == u'\t')
            columns += 4 - columns % 4;
        else
            break;
    }
    if (length)
        *length = i;
    return columns;
}

bool isBlank(QStringView line)
{
    for (QChar c : line) {
        if (c != u' ' && c != u'\t')
            return false;
    }
    return true;
}

}  // namespace

// Follows the blocks that decide how a line is shown: fenced code, indented
// code, lists, running text. The start of a block is read from the start of
// its line, which the escapes and the two spaces the writer adds never
// change, so the writer's lines and the typed ones are told apart alike.
// Inside a list, where the indentation a block needs depends on the list
// marker, every line is taken as running text: at worst a backslash shows
// in code, and nothing typed ever escapes the escaping.
class FieldShape::Scanner {
public:
    enum class Kind { Text, Code, Blank };

    Kind take(QStringView line)
    {
        if (m_fenceOpen) {
            if (closesFence(line))
                m_fenceOpen = false;
            m_afterBlank = false;
            return Kind::Code;
        }
        if (isBlank(line)) {
            m_inParagraph = false;
            m_afterBlank = true;
            return Kind::Blank;
        }
        qsizetype indentLength = 0;
        const int indent = indentOf(line, &indentLength);
        const QStringView rest = line.sliced(indentLength);
        const bool afterBlank = m_afterBlank;
        m_afterBlank = false;
        // A line at the margin that is no list item ends the list after an
        // empty line, or when it opens a block of its own.
        if (m_inList && indent == 0 && (!isListItem(rest) || isThematicBreak(rest))
            && (afterBlank || isFence(rest) || isAtxHeading(rest) || isThematicBreak(rest)))
            m_inList = false;
        if (!m_inList && indent >= 4 && (m_inCode || !m_inParagraph)) {
            m_inCode = true;
            return Kind::Code;
        }
        m_inCode = false;
        if (indent < 4 && !m_inList && isFence(rest)) {
            m_fenceOpen = true;
            m_fenceChar = rest[0];
            m_fenceLength = int(runOf(rest, rest[0]));
            m_fenceIndent = indent;
            m_inParagraph = false;
            return Kind::Code;
        }
        if (indent < 4 && isListItem(rest) && !isThematicBreak(rest))
            m_inList = true;
        m_inParagraph = indent >= 4 || (!isAtxHeading(rest) && !isThematicBreak(rest));
        return Kind::Text;
    }

    // The line that closes a fenced block still open, or an empty string.
    // It is a fence one character longer than the opening, a line a person
    // hardly types, so that a block the field closes itself comes back as
    // typed.
    QString closer() const
    {
        if (m_fenceOpen)
            return QString(m_fenceIndent, u' ') + QString(m_fenceLength + 1, m_fenceChar);
        return QString();
    }

private:
    static qsizetype runOf(QStringView text, QChar c)
    {
        qsizetype n = 0;
        while (n < text.size() && text[n] == c)
            ++n;
        return n;
    }

    static bool isFence(QStringView rest)
    {
        if (rest.isEmpty() || (rest[0] != u'`' && rest[0] != u'~'))
            return false;
        const qsizetype run = runOf(rest, rest[0]);
        return run >= 3 && !(rest[0] == u'`' && rest.sliced(run).contains(u'`'));
    }

    bool closesFence(QStringView line) const
    {
        qsizetype indentLength = 0;
        if (indentOf(line, &indentLength) >= 4)
            return false;
        const QStringView rest = line.sliced(indentLength);
        const qsizetype run = runOf(rest, m_fenceChar);
        return run >= m_fenceLength && isBlank(rest.sliced(run));
    }

    static bool isListItem(QStringView rest)
    {
        qsizetype i = 0;
        if (!rest.isEmpty() && QStringView(u"-+*").contains(rest[0])) {
            i = 1;
        } else {
            while (i < rest.size() && i < 10 && rest[i] >= u'0' && rest[i] <= u'9')
                ++i;
            if (i == 0 || i > 9 || i >= rest.size() || (rest[i] != u'.' && rest[i] != u')'))
                return false;
            ++i;
        }
        return i == rest.size() || rest[i] == u' ' || rest[i] == u'\t';
    }

    static bool isAtxHeading(QStringView rest)
    {
        const qsizetype run = runOf(rest, u'#');
        return run >= 1 && run <= 6 && (run == rest.size() || rest[run] == u' ' || rest[run] == u'\t');
    }

    static bool isThematicBreak(QStringView rest)
    {
        const QChar mark = rest.isEmpty() ? QChar() : rest[0];
        if (mark != u'-' && mark != u'_' && mark != u'*')
            return false;
        int marks = 0;
        for (QChar c : rest) {
            if (c == mark)
                ++marks;
            else if (c != u' ' && c != u'\t')
                return false;
        }
        return marks >= 3;
    }

    bool m_fenceOpen = false;
    QChar m_fenceChar;
    int m_fenceLength = 0;
    int m_fenceIndent = 0;
    bool m_inParagraph = false;
    bool m_inCode = false;
    bool m_inList = false;
    bool m_afterBlank = false;
};

namespace {

using BlockScanner = FieldShape::Scanner;
using Kind = BlockScanner::Kind;
const QString lineBreak = QStringLiteral("  ");

bool isAsciiPunctuation(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x21 && u <= 0x2F) || (u >= 0x3A && u <= 0x40) || (u >= 0x5B && u <= 0x60)
           || (u >= 0x7B && u <= 0x7E);
}

qsizetype backslashesAt(QStringView line, qsizetype i)
{
    qsizetype n = 0;
    while (i + n < line.size() && line[i + n] == u'\\')
        ++n;
    return n;
}

// The backticks that open or close a code span in a line, as CommonMark
// pairs them: a run opens a span when a run of the same length follows
// (inside a span a backslash is no escape); a run without one is text.
// Each line is taken alone: a run without its pair on the line is escaped
// by the writer, so no span reaches from one line into the next.
std::vector<char> codeSpans(QStringView line)
{
    std::vector<char> inSpan(line.size(), 0);  // 1: inside, 2: a delimiting backtick
    qsizetype i = 0;
    while (i < line.size()) {
        if (line[i] == u'\\') {
            i += (i + 1 < line.size() && isAsciiPunctuation(line[i + 1])) ? 2 : 1;
            continue;
        }
        if (line[i] != u'`') {
            ++i;
            continue;
        }
        qsizetype run = 0;  // an escaped backtick was skipped above
        while (i + run < line.size() && line[i + run] == u'`')
            ++run;
        qsizetype j = i + run;
        while (j < line.size()) {
            if (line[j] != u'`') {
                ++j;
                continue;
            }
            qsizetype r = 0;
            while (j + r < line.size() && line[j + r] == u'`')
                ++r;
            if (r == run)
                break;
            j += r;
        }
        if (j < line.size()) {
            for (qsizetype k = i; k < j + run; ++k)
                inSpan[k] = (k < i + run || k >= j) ? 2 : 1;
            i = j + run;
        } else {
            i += run;
        }
    }
    return inSpan;
}

// A ']' that would end the text of a link to a script or a local file
// ("[x](javascript:...)", "[x]: data:..."). escapedAngle: the '<' of
// "(<target>)" stands escaped, as the writer leaves it.
bool endsUnsafeLink(QStringView line, qsizetype i, bool escapedAngle)
{
    if (line[i] != u']' || i + 1 >= line.size() || (line[i + 1] != u'(' && line[i + 1] != u':'))
        return false;
    qsizetype j = i + 2;
    while (j < line.size() && (line[j] == u' ' || line[j] == u'\t'))
        ++j;
    const QStringView angle = escapedAngle ? QStringView(u"\\<") : QStringView(u"<");
    if (line.sliced(j).startsWith(angle))
        j += angle.size();
    for (const char16_t *scheme : {u"javascript:", u"vbscript:", u"data:", u"file:"}) {
        if (line.sliced(j).startsWith(QStringView(scheme), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// Outside code spans, what a renderer would take for raw HTML, a character
// reference, a block quote, a code span or a script link.
bool takesEscape(QStringView line, qsizetype i, const std::vector<char> &spans, bool written)
{
    if (spans[i])
        return false;
    const QChar c = line[i];
    return c == u'<' || c == u'>' || c == u'&' || c == u'`' || endsUnsafeLink(line, i, written);
}

// A line of running text as written: what takesEscape() names escaped by a
// backslash, and the backslashes typed right before it doubled, so that
// they show as typed too.
QString escapeRunningText(QStringView line)
{
    const std::vector<char> spans = codeSpans(line);
    QString out;
    out.reserve(line.size() + 8);
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'\\' && !spans[i]) {
            const qsizetype n = backslashesAt(line, i);
            const bool doubled = i + n < line.size() && takesEscape(line, i + n, spans, false);
            out += QString(doubled ? 2 * n : n, u'\\');
            i += n - 1;
            continue;
        }
        if (takesEscape(line, i, spans, false))
            out += u'\\';
        out += line[i];
    }
    return out;
}

QString unescapeRunningText(QStringView line)
{
    const std::vector<char> spans = codeSpans(line);
    QString out;
    out.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'\\' && !spans[i]) {
            const qsizetype n = backslashesAt(line, i);
            if (n % 2 == 1 && i + n < line.size() && takesEscape(line, i + n, spans, true)) {
                out += QString(n / 2, u'\\');
                out += line[i + n];
                i += n;
            } else {
                out += QString(n, u'\\');
                i += n - 1;
            }
            continue;
        }
        out += line[i];
    }
    return out;
}

}  // namespace

QStringList fieldLines(const QString &field)
{
    QStringList lines = toLf(field).split(u'\n');
    BlockScanner scanner;
    for (QString &line : lines) {
        if (scanner.take(line) == Kind::Text)
            line = escapeRunningText(line) + lineBreak;
    }
    const QString closer = scanner.closer();
    if (!closer.isEmpty())
        lines.append(closer);
    return lines;
}

QString fieldFromLines(const QStringList &lines)
{
    qsizetype count = lines.size();
    if (count > 1) {
        BlockScanner scanner;
        for (qsizetype i = 0; i + 1 < count; ++i)
            scanner.take(lines[i]);
        const QString closer = scanner.closer();
        if (!closer.isEmpty() && lines[count - 1] == closer)
            --count;
    }
    QString field;
    BlockScanner scanner;
    for (qsizetype i = 0; i < count; ++i) {
        if (i > 0)
            field += crLf;
        QStringView line = lines[i];
        if (scanner.take(line) != Kind::Text) {
            field += line;
            continue;
        }
        if (line.endsWith(lineBreak))
            line.chop(lineBreak.size());
        field += unescapeRunningText(line);
    }
    return field;
}

FieldShape::FieldShape(bool strict) : m_scanner(std::make_unique<Scanner>()), m_strict(strict) {}

FieldShape::~FieldShape() = default;

void FieldShape::reset()
{
    *m_scanner = Scanner();
    m_lines = 0;
    m_firstEmpty = false;
}

bool FieldShape::add(QStringView line)
{
    if (m_lines++ == 0)
        m_firstEmpty = line.isEmpty();
    return !(m_scanner->take(line) == Kind::Text && m_strict && !line.endsWith(lineBreak));
}

bool FieldShape::whole() const
{
    return m_lines > 0 && !(m_lines == 1 && m_firstEmpty) && m_scanner->closer().isEmpty();
}

}  // namespace velmora::markdown
