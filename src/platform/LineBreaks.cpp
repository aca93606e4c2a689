#include "platform/LineBreaks.h"

namespace velmora {

namespace {

QString normaliseBreaks(const QString &text, QStringView lineBreak)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = text[i];
        if (ch == u'\r') {
            if (i + 1 < n && text[i + 1] == u'\n')
                ++i;  // CR LF is one break
            out.append(lineBreak);
        } else if (ch == u'\n') {
            out.append(lineBreak);
        } else {
            out.append(ch);
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

}  // namespace velmora
