#include "core/project/ProjectSources.h"

#include <QStringList>

#include <optional>
#include <utility>

namespace velmora {

namespace {

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool startsName(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

bool continuesName(QChar c)
{
    return startsName(c) || (c >= u'0' && c <= u'9');
}

// A text read from the start, counting its lines.
class Cursor {
public:
    explicit Cursor(const QString &text) : m_text(text) {}

    bool atEnd() const { return m_at >= m_text.size(); }
    QChar peek(qsizetype ahead = 0) const
    {
        return m_at + ahead < m_text.size() ? m_text[m_at + ahead] : QChar();
    }
    QChar take()
    {
        const QChar c = m_text[m_at++];
        if (c == u'\n')
            ++m_line;
        return c;
    }
    bool takeIf(QChar c)
    {
        if (atEnd() || peek() != c)
            return false;
        take();
        return true;
    }
    // Moves past the next closing; false (at the end) when there is none.
    bool skipPast(const QString &closing, QString *skipped = nullptr)
    {
        const qsizetype found = m_text.indexOf(closing, m_at);
        const qsizetype end = found < 0 ? m_text.size() : found + closing.size();
        const QStringView part = QStringView(m_text).sliced(m_at, end - m_at);
        m_line += int(part.count(u'\n'));
        if (skipped)
            *skipped = part.chopped(found < 0 ? 0 : closing.size()).toString();
        m_at = end;
        return found >= 0;
    }
    QString name()
    {
        const qsizetype from = m_at;
        while (!atEnd() && continuesName(peek()))
            ++m_at;
        return m_text.sliced(from, m_at - from);
    }
    int line() const { return m_line; }

private:
    const QString &m_text;
    qsizetype m_at = 0;
    int m_line = 1;
};

// ---- CMake ------------------------------------------------------------

// At '[': the number of '=' of a bracket's opening "[==[", or -1 when it is
// not one.
int bracketLevel(const Cursor &in)
{
    int level = 0;
    while (in.peek(1 + level) == u'=')
        ++level;
    return in.peek(1 + level) == u'[' ? level : -1;
}

// Takes a bracket "[==[...]==]" whose level is known; false when it is not
// closed. The first line break right after the opening is not content.
bool takeBracket(Cursor &in, int level, QString *content)
{
    for (int i = 0; i < level + 2; ++i)
        in.take();
    in.takeIf(u'\r');
    in.takeIf(u'\n');
    return in.skipPast(u']' + QString(level, u'=') + u']', content);
}

struct CMakeCommand {
    QString name;
    QStringList arguments;
    int line = 0;
};

// Reads the commands of a CMake file one by one, as CMake's own grammar has
// them: comments (line and bracket), quoted, bracket and unquoted arguments.
class CMakeReader {
public:
    CMakeReader(const QString &text, SourceFacts &out) : m_in(text), m_out(out) {}

    // The next command; false at the end or when the file is broken.
    bool next(CMakeCommand &command)
    {
        for (;;) {
            if (!skipSpaceAndComments())
                return false;
            if (m_in.atEnd())
                return false;
            if (!startsName(m_in.peek()))
                return fail(m_in.line(), QStringLiteral("unexpected \"%1\"").arg(m_in.peek()));
            command = {};
            command.line = m_in.line();
            command.name = m_in.name();
            while (m_in.peek() == u' ' || m_in.peek() == u'\t')
                m_in.take();
            if (!m_in.takeIf(u'('))
                return fail(m_in.line(), QStringLiteral("expected \"(\" after %1").arg(command.name));
            return arguments(command);
        }
    }

private:
    bool fail(int line, const QString &words)
    {
        m_out.fail(line, words);
        return false;
    }

    bool skipSpaceAndComments()
    {
        while (!m_in.atEnd()) {
            if (isSpace(m_in.peek())) {
                m_in.take();
            } else if (m_in.peek() == u'#') {
                const int line = m_in.line();
                m_in.take();
                if (const int level = m_in.peek() == u'[' ? bracketLevel(m_in) : -1; level >= 0) {
                    if (!takeBracket(m_in, level, nullptr))
                        return fail(line, QStringLiteral("a bracket comment that is not closed"));
                } else {
                    m_in.skipPast(QStringLiteral("\n"));
                }
            } else {
                break;
            }
        }
        return true;
    }

    bool arguments(CMakeCommand &command)
    {
        int depth = 1;
        for (;;) {
            if (!skipSpaceAndComments())
                return false;
            if (m_in.atEnd())
                return fail(command.line, QStringLiteral("%1( is not closed").arg(command.name));
            const QChar c = m_in.peek();
            const int line = m_in.line();
            if (c == u'(' || c == u')') {
                m_in.take();
                depth += c == u'(' ? 1 : -1;
                if (depth == 0)
                    return true;
                command.arguments.append(c);
            } else if (c == u'"') {
                m_in.take();
                QString value;
                for (;;) {
                    if (m_in.atEnd())
                        return fail(line, QStringLiteral("a quoted argument that is not closed"));
                    const QChar q = m_in.take();
                    if (q == u'"')
                        break;
                    if (q != u'\\') {
                        value += q;
                    } else if (!m_in.atEnd()) {
                        const QChar escaped = m_in.take();
                        if (escaped != u'\n')  // a line continued
                            value += escapedChar(escaped);
                    }
                }
                command.arguments.append(value);
            } else if (const int level = c == u'[' ? bracketLevel(m_in) : -1; level >= 0) {
                QString value;
                if (!takeBracket(m_in, level, &value))
                    return fail(line, QStringLiteral("a bracket argument that is not closed"));
                command.arguments.append(value);
            } else {
                QString value;
                while (!m_in.atEnd() && !isSpace(m_in.peek()) && m_in.peek() != u'(' && m_in.peek() != u')'
                       && m_in.peek() != u'#' && m_in.peek() != u'"') {
                    const QChar u = m_in.take();
                    if (u == u'\\' && !m_in.atEnd())
                        value += escapedChar(m_in.take());
                    else
                        value += u;
                }
                command.arguments.append(value);
            }
        }
    }

    static QChar escapedChar(QChar c)
    {
        if (c == u'n')
            return u'\n';
        if (c == u't')
            return u'\t';
        if (c == u'r')
            return u'\r';
        return c;
    }

    Cursor m_in;
    SourceFacts &m_out;
};

// ---- Meson ------------------------------------------------------------

// A token of a Meson call's arguments.
struct MesonToken {
    enum Kind { String, Name, Colon, Comma, Open, Close, Other } kind = Other;
    QString text;
};

// The tokens of project(...)'s arguments, nested brackets included; false
// when the file is broken before its closing parenthesis.
class MesonReader {
public:
    MesonReader(const QString &text, SourceFacts &out) : m_in(text), m_out(out) {}

    // Finds project( at the top level and takes its arguments.
    bool projectArguments(QList<MesonToken> &tokens)
    {
        int depth = 0;
        int projectLine = 0;
        for (;;) {
            MesonToken token;
            const int line = m_in.line();
            if (!take(token))
                return false;
            if (m_in.atEnd() && token.kind == MesonToken::Other && token.text.isEmpty()) {
                if (projectLine > 0)
                    return fail(projectLine, QStringLiteral("project( is not closed"));
                return false;  // no project() at all
            }
            if (projectLine == 0) {
                if (depth == 0 && token.kind == MesonToken::Name && token.text == u"project") {
                    MesonToken open;
                    if (!take(open))
                        return false;
                    if (open.kind == MesonToken::Open && open.text == u"(") {
                        projectLine = line;
                        depth = 1;
                    }
                    continue;
                }
                if (token.kind == MesonToken::Open)
                    ++depth;
                else if (token.kind == MesonToken::Close)
                    --depth;
                continue;
            }
            if (token.kind == MesonToken::Open)
                ++depth;
            else if (token.kind == MesonToken::Close && --depth == 0)
                return true;
            tokens.append(token);
        }
    }

private:
    bool fail(int line, const QString &words)
    {
        m_out.fail(line, words);
        return false;
    }

    // The next token; at the end an empty Other.
    bool take(MesonToken &token)
    {
        for (;;) {
            while (!m_in.atEnd() && isSpace(m_in.peek()))
                m_in.take();
            if (m_in.peek() != u'#')
                break;
            m_in.skipPast(QStringLiteral("\n"));
        }
        token = {};
        if (m_in.atEnd())
            return true;
        const int line = m_in.line();
        const QChar c = m_in.peek();
        if (startsName(c)) {
            token.kind = MesonToken::Name;
            token.text = m_in.name();
            if ((token.text == u"f") && m_in.peek() == u'\'') {  // an f-string: its text as written
                token.kind = MesonToken::Other;
                MesonToken string;
                return take(string);
            }
            return true;
        }
        m_in.take();
        token.text = c;
        if (c == u'(' || c == u'[' || c == u'{') {
            token.kind = MesonToken::Open;
        } else if (c == u')' || c == u']' || c == u'}') {
            token.kind = MesonToken::Close;
        } else if (c == u':') {
            token.kind = MesonToken::Colon;
        } else if (c == u',') {
            token.kind = MesonToken::Comma;
        } else if (c == u'\'') {
            token.kind = MesonToken::String;
            token.text.clear();
            if (m_in.peek() == u'\'' && m_in.peek(1) == u'\'') {
                m_in.take();
                m_in.take();
                if (!m_in.skipPast(QStringLiteral("'''"), &token.text))
                    return fail(line, QStringLiteral("a string that is not closed"));
                return true;
            }
            for (;;) {
                if (m_in.atEnd() || m_in.peek() == u'\n')
                    return fail(line, QStringLiteral("a string that is not closed"));
                const QChar s = m_in.take();
                if (s == u'\'')
                    return true;
                if (s == u'\\' && !m_in.atEnd()) {
                    const QChar e = m_in.take();
                    token.text += e == u'n' ? QChar(u'\n') : e == u't' ? QChar(u'\t') : e;
                } else {
                    token.text += s;
                }
            }
        }
        return true;
    }

    Cursor m_in;
    SourceFacts &m_out;
};

// A value of a Meson argument: one string, or a list of strings.
std::optional<QStringList> mesonStrings(const QList<MesonToken> &value)
{
    if (value.size() == 1 && value[0].kind == MesonToken::String)
        return QStringList{value[0].text};
    if (value.size() < 2 || value.first().text != u"[" || value.last().text != u"]")
        return std::nullopt;
    QStringList strings;
    for (qsizetype i = 1; i + 1 < value.size(); ++i) {
        if (value[i].kind == MesonToken::String)
            strings.append(value[i].text);
        else if (value[i].kind != MesonToken::Comma)
            return std::nullopt;
    }
    return strings;
}

}  // namespace

void readCMakeLists(const QString &text, SourceFacts &out)
{
    CMakeReader reader(text, out);
    CMakeCommand command;
    while (reader.next(command)) {
        if (command.name.compare(u"project", Qt::CaseInsensitive) != 0)
            continue;
        // A value made of variables cannot be known without running CMake.
        const auto add = [&out](ProjectField field, const QString &value) {
            if (!value.contains(u"${"))
                out.add(field, value);
        };
        if (!command.arguments.isEmpty())
            add(ProjectField::Name, command.arguments.first());
        static const QStringList keywords{"VERSION", "DESCRIPTION", "HOMEPAGE_URL", "LANGUAGES"};
        for (qsizetype i = 1; i < command.arguments.size(); ++i) {
            const QString &keyword = command.arguments[i];
            if (!keywords.contains(keyword) || keyword == u"LANGUAGES")
                continue;
            if (i + 1 >= command.arguments.size() || keywords.contains(command.arguments[i + 1])) {
                out.fail(command.line, QStringLiteral("%1 without a value").arg(keyword));
                return;
            }
            const QString &value = command.arguments[++i];
            add(keyword == u"VERSION"       ? ProjectField::Version
                : keyword == u"DESCRIPTION" ? ProjectField::Description
                                            : ProjectField::WebSite,
                value);
        }
        return;  // the first project() is the project's
    }
}

void readMesonBuild(const QString &text, SourceFacts &out)
{
    MesonReader reader(text, out);
    QList<MesonToken> tokens;
    if (!reader.projectArguments(tokens))
        return;
    // The arguments, split at the commas outside brackets.
    QList<QList<MesonToken>> arguments(1);
    int depth = 0;
    for (const MesonToken &token : tokens) {
        depth += token.kind == MesonToken::Open ? 1 : token.kind == MesonToken::Close ? -1 : 0;
        if (depth == 0 && token.kind == MesonToken::Comma)
            arguments.append(QList<MesonToken>());
        else
            arguments.last().append(token);
    }
    bool first = true;
    for (const QList<MesonToken> &argument : std::as_const(arguments)) {
        if (argument.isEmpty())
            continue;
        if (argument.size() >= 2 && argument[0].kind == MesonToken::Name && argument[1].kind == MesonToken::Colon) {
            const QString &keyword = argument[0].text;
            const std::optional<QStringList> value = mesonStrings(argument.mid(2));
            if (!value)
                continue;  // a value computed when Meson runs
            if (keyword == u"version" && value->size() == 1)
                out.add(ProjectField::Version, value->first());
            else if (keyword == u"license")
                out.add(ProjectField::LicenceId, value->join(QStringLiteral(" AND ")));
        } else if (std::exchange(first, false)) {
            if (const std::optional<QStringList> name = mesonStrings(argument); name && name->size() == 1)
                out.add(ProjectField::Name, name->first());
        }
    }
}

}  // namespace velmora
