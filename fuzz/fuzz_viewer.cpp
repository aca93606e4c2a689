// libFuzzer target for the viewer's decoding: any bytes through
// decodeTextFile. Besides the sanitizers, it checks the result against the
// decoding rule, with a UTF-8 check of its own, and aborts when they differ.

#include "core/text/Win1252.h"
#include "core/text/BoundedFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void broken(const char *rule)
{
    std::fprintf(stderr, "broken rule: %s\n", rule);
    std::abort();
}

// Well-formed UTF-8 as Unicode defines it: shortest forms only, no
// surrogates, nothing above U+10FFFF.
bool isWellFormedUtf8(QByteArrayView bytes)
{
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        if (b0 < 0x80) {
            ++i;
            continue;
        }
        int tail;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            tail = 1;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            tail = 2;
            if (b0 == 0xE0)
                low = 0xA0;  // no overlong forms
            if (b0 == 0xED)
                high = 0x9F;  // no surrogates
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            tail = 3;
            if (b0 == 0xF0)
                low = 0x90;
            if (b0 == 0xF4)
                high = 0x8F;  // nothing above U+10FFFF
        } else {
            return false;
        }
        if (n - i - 1 < tail)
            return false;
        const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
        if (b1 < low || b1 > high)
            return false;
        for (int k = 2; k <= tail; ++k) {
            const auto bk = static_cast<unsigned char>(bytes[i + k]);
            if (bk < 0x80 || bk > 0xBF)
                return false;
        }
        i += tail + 1;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = velmora::decodeTextFile(bytes);

    // UTF-8 needs at least one byte for each UTF-16 unit, Windows-1252 one
    // byte for each character.
    if (text.size() > bytes.size())
        broken("never more characters than bytes");

    static constexpr char bom[] = "\xEF\xBB\xBF";
    if (bytes.startsWith(bom)) {
        // Exactly the one leading mark goes; what follows it is the text.
        const QByteArrayView rest = QByteArrayView(bytes).sliced(3);
        if (text.size() > rest.size())
            broken("after a byte-order mark, never more characters than the bytes after it");
        if (isWellFormedUtf8(rest) && text.toUtf8() != rest)
            broken("after a byte-order mark, well-formed UTF-8 is decoded as it stands");
        return 0;
    }

    if (isWellFormedUtf8(bytes)) {
        if (text.toUtf8() != bytes)
            broken("well-formed UTF-8 is decoded as UTF-8");
    } else {
        if (text != velmora::fromWindows1252(bytes))
            broken("anything else is decoded as Windows-1252");
        if (velmora::toWindows1252(text) != bytes)
            broken("text from Windows-1252 encodes back to the same bytes");
    }
    return 0;
}
