#include "core/readme/MarkdownInline.h"

#include <array>

namespace velmora::markdown {

namespace {

bool isAsciiPunctuation(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x21 && u <= 0x2F) || (u >= 0x3A && u <= 0x40) || (u >= 0x5B && u <= 0x60)
           || (u >= 0x7B && u <= 0x7E);
}

bool isAsciiAlnum(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

// Spaces, tabs and the other characters up to the space, which renderers
// drop at the ends of a line or a heading.
bool isEdgeBlank(QChar c)
{
    return c.unicode() <= 0x20;
}

QString reference(QChar c)
{
    return QStringLiteral("&#%1;").arg(int(c.unicode()));
}

}  // namespace

QString escapeText(QStringView value, Place place)
{
    qsizetype first = 0;
    qsizetype end = value.size();
    while (first < end && isEdgeBlank(value[first]))
        ++first;
    while (end > first && isEdgeBlank(value[end - 1]))
        --end;

    QString out;
    out.reserve(value.size() + 16);
    for (qsizetype i = 0; i < first; ++i)
        out += reference(value[i]);

    // At the start of a block, a marker of a heading, a quote, a list, a
    // table or a heading underline would be taken as one; after digits, the
    // '.' or ')' of a numbered list.
    qsizetype blockMarker = -1;
    if (place == Place::BlockStart && first < end) {
        if (QStringView(u"#>-+=|").contains(value[first])) {
            blockMarker = first;
        } else {
            qsizetype i = first;
            while (i < end && value[i].isDigit() && value[i].unicode() < 0x80)
                ++i;
            if (i > first && i < end && (value[i] == u'.' || value[i] == u')'))
                blockMarker = i;
        }
    }

    for (qsizetype i = first; i < end; ++i) {
        const QChar c = value[i];
        bool escape = QStringView(u"\\`*_[]<&~$").contains(c) || i == blockMarker;
        // A ':' before a name would start an emoji code on code hosts; one
        // before "//", and a "www." in running text, would start a bare
        // link, inside which renderers show escapes as typed backslashes.
        if (c == u':' && i + 1 < end
            && (isAsciiAlnum(value[i + 1]) || QStringView(u"_+-").contains(value[i + 1])
                || (place != Place::LinkText && value[i + 1] == u'/')))
            escape = true;
        if (c == u'w' && place != Place::LinkText && value.sliced(i, end - i).startsWith(u"www.")) {
            out += reference(c);
            continue;
        }
        if (place == Place::Title && QStringView(u"#()").contains(c))
            escape = true;
        if (escape)
            out += u'\\';
        out += c;
    }
    for (qsizetype i = end; i < value.size(); ++i)
        out += reference(value[i]);
    return out;
}

namespace {

// A character reference at source[i] ('&'): its text and length, or 0.
qsizetype readReference(QStringView source, qsizetype i, QString &text)
{
    const qsizetype semicolon = source.indexOf(u';', i + 1);
    if (semicolon < 0 || semicolon - i > 33)
        return 0;
    const QStringView name = source.sliced(i + 1, semicolon - i - 1);
    if (name.startsWith(u'#')) {
        bool ok = false;
        uint code = 0;
        const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
        const QStringView digits = name.sliced(hex ? 2 : 1);
        if (digits.isEmpty() || digits.size() > (hex ? 6 : 7))
            return 0;
        for (QChar d : digits) {
            if (!(hex ? isAsciiAlnum(d) : (d >= u'0' && d <= u'9')))
                return 0;
        }
        code = digits.toUInt(&ok, hex ? 16 : 10);
        if (!ok)
            return 0;
        // As renderers do: nothing that is not a character becomes one.
        if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            code = 0xFFFD;
        const char32_t ch = code;
        text = QString::fromUcs4(&ch, 1);
        return semicolon - i + 1;
    }
    static const std::array<std::pair<const char16_t *, char16_t>, 6> named = {{
        {u"amp", u'&'}, {u"lt", u'<'}, {u"gt", u'>'}, {u"quot", u'"'}, {u"apos", u'\''},
        {u"nbsp", u'\u00a0'}}};
    for (const auto &[n, c] : named) {
        if (name == QStringView(n)) {
            text = QString(QChar(c));
            return semicolon - i + 1;
        }
    }
    return 0;
}

}  // namespace

QString unescapeText(QStringView source)
{
    QString out;
    out.reserve(source.size());
    for (qsizetype i = 0; i < source.size(); ++i) {
        const QChar c = source[i];
        if (c == u'\\' && i + 1 < source.size() && isAsciiPunctuation(source[i + 1])) {
            out += source[++i];
            continue;
        }
        if (c == u'&') {
            QString text;
            if (const qsizetype length = readReference(source, i, text)) {
                out += text;
                i += length - 1;
                continue;
            }
        }
        out += c;
    }
    return out;
}

namespace {

bool hasNoBlanks(QStringView value)
{
    for (QChar c : value) {
        if (c.unicode() <= 0x20 || c.isSpace())
            return false;
    }
    return true;
}

}  // namespace

bool isWebAddress(QStringView value)
{
    if (!hasNoBlanks(value) || value.contains(u'<') || value.contains(u'>'))
        return false;
    for (const char16_t *prefix : {u"http://", u"https://", u"www."}) {
        const QStringView p(prefix);
        if (value.startsWith(p, Qt::CaseInsensitive) && value.size() > p.size())
            return true;
    }
    return false;
}

QString webAddressTarget(const QString &value)
{
    if (value.startsWith(u"www.", Qt::CaseInsensitive))
        return QStringLiteral("http://") + value;
    return value;
}

bool isEMailAddress(QStringView value)
{
    if (!hasNoBlanks(value) || value.count(u'@') != 1)
        return false;
    const qsizetype at = value.indexOf(u'@');
    if (at == 0 || at == value.size() - 1)
        return false;
    for (QChar c : value) {
        if (QStringView(u"<>()[]\\,;:\"").contains(c))
            return false;
    }
    return true;
}

QString link(QStringView text, QStringView target)
{
    QString out = QStringLiteral("[") + escapeText(text, Place::LinkText) + QStringLiteral("](<");
    for (QChar c : target) {
        if (c == u'\\' || c == u'&' || c == u'<' || c == u'>')
            out += u'\\';
        out += c;
    }
    return out + QStringLiteral(">)");
}

bool readLink(QStringView source, QString &text)
{
    if (source.size() > 2 && source.startsWith(u'<') && source.endsWith(u'>')) {
        const QStringView target = source.sliced(1, source.size() - 2);
        if (!hasNoBlanks(target) || target.contains(u'<'))
            return false;
        text = target.toString();
        return true;
    }
    if (!source.startsWith(u'[') || !source.endsWith(u')'))
        return false;
    // The text ends at the first ']' not escaped.
    for (qsizetype i = 1; i < source.size(); ++i) {
        if (source[i] == u'\\') {
            ++i;
        } else if (source[i] == u']') {
            if (i + 1 >= source.size() || source[i + 1] != u'(')
                return false;
            text = unescapeText(source.sliced(1, i - 1));
            return true;
        } else if (source[i] == u'[') {
            return false;
        }
    }
    return false;
}

}  // namespace velmora::markdown
