#include "viewer/WholeFile.h"

#include "platform/Win1252.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace velmora {

QString decodeTextFile(const QByteArray &bytes)
{
    static constexpr char utf8Bom[] = "\xEF\xBB\xBF";
    if (bytes.startsWith(utf8Bom)) {
        // Only the first mark goes: a second one right after it is text,
        // which QString::fromUtf8 would drop as well.
        QStringDecoder rest(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless
                                                      | QStringDecoder::Flag::ConvertInitialBom);
        return rest.decode(QByteArrayView(bytes).sliced(3));
    }

    // Stateless, so that a sequence cut off at the end counts as an error
    // instead of waiting for more bytes.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return fromWindows1252(bytes);
}

QString ReadWholeFile(const QString &path)
{
    if (path.isEmpty())
        return QString();
    // Only a regular file is opened: a pipe or a device would block or never
    // end, and a folder has no text.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > maxViewerFileBytes)
        return QString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    // Read in pieces, so that a file that grew since the look-up stops at
    // the limit instead of filling the memory.
    QByteArray bytes;
    bytes.reserve(info.size());
    char chunk[64 * 1024];
    for (;;) {
        const qint64 got = file.read(chunk, sizeof chunk);
        if (got < 0)
            return QString();
        if (got == 0)
            break;
        if (bytes.size() + got > maxViewerFileBytes)
            return QString();
        bytes.append(chunk, got);
    }
    return decodeTextFile(bytes);
}

}  // namespace velmora
