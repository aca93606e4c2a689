#include "platform/Win1252.h"

#include <array>

namespace velmora {

namespace {

// Characters of the bytes 0x80..0x9F. The five bytes that Windows-1252 leaves
// undefined keep the C1 control of the same value, so they round-trip.
constexpr std::array<char16_t, 32> highControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

char16_t charOfByte(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return highControlRange[byte - 0x80];
    return char16_t(byte);  // every other byte is the Latin-1 character of its value
}

// The byte of a character, or -1 when Windows-1252 cannot hold it.
int byteOfChar(char16_t ch)
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return ch;
    for (std::size_t i = 0; i < highControlRange.size(); ++i) {
        if (highControlRange[i] == ch)
            return int(0x80 + i);
    }
    return -1;
}

}  // namespace

QByteArray toWindows1252(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ch = text[i].unicode();
        if (QChar::isHighSurrogate(ch) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
            // One character outside the basic plane: one '?'.
            out.append('?');
            ++i;
            continue;
        }
        const int byte = byteOfChar(ch);
        out.append(byte < 0 ? '?' : char(byte));
    }
    return out;
}

QString fromWindows1252(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        dst[i] = QChar(charOfByte(static_cast<unsigned char>(bytes[i])));
    return out;
}

}  // namespace velmora
