#include "core/readme/MarkdownBlocks.h"

#include "core/text/LineBreaks.h"

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

// Follows the blocks that decide how a line is shown: fenced code, raw HTML
// that runs until an end marker (a comment, <pre>, <script>, ...), indented
// code, running text. The start of a block is read from the start of its
// line, so the two spaces the writer adds at the end never change it.
class FieldShape::Scanner {
public:
    // True when the line is running text, which needs a line break at its
    // end to show as a line of its own.
    bool takesLineBreak(QStringView line)
    {
        if (m_open == Open::Fence) {
            if (closesFence(line))
                m_open = Open::Nothing;
            m_inParagraph = false;
            return false;
        }
        if (m_open == Open::Html) {
            if (line.contains(m_htmlEnd, Qt::CaseInsensitive)
                || (m_htmlEndAny && endsRawTextBlock(line)))
                m_open = Open::Nothing;
            m_inParagraph = false;
            return false;
        }
        if (isBlank(line)) {
            m_inParagraph = false;
            return false;
        }
        qsizetype indentLength = 0;
        const int indent = indentOf(line, &indentLength);
        if (indent >= 4 && (m_inCode || !m_inParagraph)) {
            m_inCode = true;
            return false;
        }
        m_inCode = false;
        if (indent < 4) {
            const QStringView rest = line.sliced(indentLength);
            if (opensFence(rest, indent) || opensHtml(rest)) {
                m_inParagraph = false;
                return false;
            }
            m_inParagraph = !isAtxHeading(rest) && !isThematicBreak(rest);
        }
        return true;
    }

    // The line that closes what is still open, or an empty string. It is
    // not the line a person types to close the block (a fence one longer;
    // the end of raw HTML followed by an empty comment), so that a block
    // the field closes itself comes back as typed.
    QString closer() const
    {
        if (m_open == Open::Fence)
            return QString(m_fenceIndent, u' ') + QString(m_fenceLength + 1, m_fenceChar);
        if (m_open == Open::Html)
            return m_htmlEnd + QStringLiteral("<!-- -->");
        return QString();
    }

private:
    enum class Open { Nothing, Fence, Html };

    static qsizetype runOf(QStringView text, QChar c)
    {
        qsizetype n = 0;
        while (n < text.size() && text[n] == c)
            ++n;
        return n;
    }

    bool opensFence(QStringView rest, int indent)
    {
        if (rest.isEmpty() || (rest[0] != u'`' && rest[0] != u'~'))
            return false;
        const qsizetype run = runOf(rest, rest[0]);
        if (run < 3 || (rest[0] == u'`' && rest.sliced(run).contains(u'`')))
            return false;
        m_open = Open::Fence;
        m_fenceChar = rest[0];
        m_fenceLength = int(run);
        m_fenceIndent = indent;
        return true;
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

    static bool endsRawTextBlock(QStringView line)
    {
        for (const char16_t *end : {u"</script>", u"</pre>", u"</style>", u"</textarea>"}) {
            if (line.contains(QStringView(end), Qt::CaseInsensitive))
                return true;
        }
        return false;
    }

    bool opensHtml(QStringView rest)
    {
        QString end;
        bool any = false;
        if (rest.startsWith(u"<![CDATA[")) {
            end = QStringLiteral("]]>");
        } else if (rest.startsWith(u"<!--")) {
            end = QStringLiteral("-->");
        } else if (rest.startsWith(u"<?")) {
            end = QStringLiteral("?>");
        } else if (rest.size() > 2 && rest.startsWith(u"<!") && rest[2].unicode() < 0x80 && rest[2].isLetter()) {
            end = QStringLiteral(">");
        } else {
            for (const char16_t *tag : {u"script", u"pre", u"style", u"textarea"}) {
                const QStringView t(tag);
                if (rest.size() > t.size() && rest[0] == u'<'
                    && rest.sliced(1, t.size()).compare(t, Qt::CaseInsensitive) == 0) {
                    const qsizetype after = 1 + t.size();
                    if (after == rest.size() || QStringView(u" \t>").contains(rest[after])) {
                        end = QStringLiteral("</") + t.toString() + u'>';
                        any = true;
                        break;
                    }
                }
            }
            if (end.isEmpty())
                return false;
        }
        // The start line may end the block itself.
        if (!(rest.contains(end, Qt::CaseInsensitive) || (any && endsRawTextBlock(rest)))) {
            m_open = Open::Html;
            m_htmlEnd = end;
            m_htmlEndAny = any;
        }
        return true;
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

    Open m_open = Open::Nothing;
    QChar m_fenceChar;
    int m_fenceLength = 0;
    int m_fenceIndent = 0;
    QString m_htmlEnd;
    bool m_htmlEndAny = false;
    bool m_inParagraph = false;
    bool m_inCode = false;
};

namespace {

using BlockScanner = FieldShape::Scanner;
const QString lineBreak = QStringLiteral("  ");

}  // namespace

QStringList fieldLines(const QString &field)
{
    QStringList lines = toLf(field).split(u'\n');
    BlockScanner scanner;
    for (QString &line : lines) {
        if (scanner.takesLineBreak(line))
            line += lineBreak;
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
            scanner.takesLineBreak(lines[i]);
        const QString closer = scanner.closer();
        if (!closer.isEmpty() && lines[count - 1] == closer)
            --count;
    }
    QString field;
    BlockScanner scanner;
    for (qsizetype i = 0; i < count; ++i) {
        QStringView line = lines[i];
        if (scanner.takesLineBreak(line) && line.endsWith(lineBreak))
            line.chop(lineBreak.size());
        if (i > 0)
            field += crLf;
        field += line;
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
    return !(m_scanner->takesLineBreak(line) && m_strict && !line.endsWith(lineBreak));
}

bool FieldShape::whole() const
{
    return m_lines > 0 && !(m_lines == 1 && m_firstEmpty) && m_scanner->closer().isEmpty();
}

}  // namespace velmora::markdown
