#include "core/text/LineBreaks.h"

namespace velmora {

namespace {

QString normaliseBreaks(const QString &text, QStringView lineBreak)
{
    // Two passes over raw characters: count the breaks of each kind, then
    // write the result into a buffer of its exact size (a per-character
    // append cost several times more on a large file).
    const qsizetype n = text.size();
    const QChar *src = text.constData();
    qsizetype loneCr = 0, loneLf = 0, crLfs = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = src[i];
        if (ch == u'\r') {
            if (i + 1 < n && src[i + 1] == u'\n') {
                ++crLfs;  // CR LF is one break
                ++i;
            } else {
                ++loneCr;
            }
        } else if (ch == u'\n') {
            ++loneLf;
        }
    }
    // No break, or every break already is lineBreak: the text comes back
    // unchanged.
    const qsizetype breaks = loneCr + loneLf + crLfs;
    const bool unchanged = breaks == 0 || (lineBreak == u"\n" && loneCr == 0 && crLfs == 0)
                           || (lineBreak == u"\r\n" && loneCr == 0 && loneLf == 0);
    if (unchanged && n > 0)
        return text;

    const qsizetype size = n - (loneCr + loneLf + 2 * crLfs) + breaks * lineBreak.size();
    QString out(size, Qt::Uninitialized);
    QChar *dst = out.data();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = src[i];
        if (ch == u'\r' || ch == u'\n') {
            if (ch == u'\r' && i + 1 < n && src[i + 1] == u'\n')
                ++i;  // CR LF is one break
            for (const QChar c : lineBreak)
                *dst++ = c;
        } else {
            *dst++ = ch;
        }
    }
    return out;
}

}  // namespace

QString toCrLf(const QString &text)
{
    return normaliseBreaks(text, u"\r\n");
}

QString toLf(const QString &text)
{
    return normaliseBreaks(text, u"\n");
}

QString toOneLine(const QString &text)
{
    return normaliseBreaks(text, u" ");
}

}  // namespace velmora
