#include "core/text/WholeFile.h"

#include "core/text/Win1252.h"

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

    // Checked before decoding, so a Windows-1252 file is decoded once. A
    // sequence cut off at the end is not valid.
    if (QByteArrayView(bytes).isValidUtf8())
        return QString::fromUtf8(bytes);
    return fromWindows1252(bytes);
}

bool fitsTheViewer(const TextShape &shape)
{
    return shape.lines <= maxViewerFileLines && shape.longestLine <= maxViewerLineChars;
}

QString readWholeFile(const QString &path)
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
    QString text = decodeTextFile(bytes);
    if (!fitsTheViewer(shapeOfText(text)))
        return QString();
    return text;
}

}  // namespace velmora
