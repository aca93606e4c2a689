#include "core/text/Win1252.h"

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

void appendWindows1252(QByteArray &out, QStringView text)
{
    // Never more bytes than characters: written straight into the buffer and
    // cut to length at the end (a per-character append was most of the cost
    // of a large readme).
    const qsizetype n = text.size();
    const qsizetype start = out.size();
    out.resize(start + n);
    const char16_t *src = text.utf16();
    char *dst = out.data() + start;
    for (qsizetype i = 0; i < n; ++i) {
        // Eight ASCII characters at a time while they last (the compiler
        // turns these fixed-length loops into vector instructions).
        while (n - i >= 8) {
            char16_t any = 0;
            for (int k = 0; k < 8; ++k)
                any |= src[i + k];
            if (any >= 0x80)
                break;
            for (int k = 0; k < 8; ++k)
                dst[k] = char(src[i + k]);
            dst += 8;
            i += 8;
        }
        if (i == n)
            break;
        const char16_t ch = src[i];
        if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) {  // the common case of byteOfChar
            *dst++ = char(ch);
            continue;
        }
        if (QChar::isHighSurrogate(ch) && i + 1 < n && QChar::isLowSurrogate(src[i + 1])) {
            // One character outside the basic plane: one '?'.
            *dst++ = '?';
            ++i;
            continue;
        }
        const int byte = byteOfChar(ch);
        *dst++ = byte < 0 ? '?' : char(byte);
    }
    out.truncate(dst - out.constData());
}

QByteArray toWindows1252(QStringView text)
{
    QByteArray out;
    appendWindows1252(out, text);
    return out;
}

void OutsideWindows1252::scan(QStringView text)
{
    const qsizetype n = text.size();
    const char16_t *src = text.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ch = src[i];
        if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
            continue;
        char32_t found = ch;
        if (QChar::isHighSurrogate(ch) && i + 1 < n && QChar::isLowSurrogate(src[i + 1])) {
            found = QChar::surrogateToUcs4(ch, src[i + 1]);
            ++i;
        } else if (byteOfChar(ch) >= 0) {
            continue;
        }
        if (!m_seen.contains(found)) {
            m_seen.insert(found);
            m_found.append(found);
        }
    }
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
