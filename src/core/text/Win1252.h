#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringView>

namespace velmora {

// The one Windows-1252 codec of the program, so files are byte-identical on
// every platform whatever Qt was built with.

// Every character Windows-1252 holds becomes its byte; any other character
// (a surrogate pair counts as one) becomes a single '?'.
QByteArray toWindows1252(QStringView text);
// The same, appended to out.
void appendWindows1252(QByteArray &out, QStringView text);

// Every byte maps to one character. The five bytes Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of
// the same value, so they survive a round trip.
QString fromWindows1252(QByteArrayView bytes);

// Gathers, over any number of texts, the characters that Windows-1252
// cannot hold: each once, in the order they first appear. A character
// outside the basic plane (a surrogate pair) is one character.
class OutsideWindows1252 {
public:
    void scan(QStringView text);
    const QList<char32_t> &characters() const { return m_found; }

private:
    QList<char32_t> m_found;
    QSet<char32_t> m_seen;
};

}  // namespace velmora
