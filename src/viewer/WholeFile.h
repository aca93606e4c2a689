#pragma once

#include <QByteArray>
#include <QString>

namespace velmora {

// Files larger than this are treated as unreadable by the viewer.
constexpr qint64 maxViewerFileBytes = qint64(64) * 1024 * 1024;

// Bytes of a text file to text: UTF-8 when they start with a UTF-8 byte-order
// mark (not kept) or are valid UTF-8, Windows-1252 otherwise. Line ends are
// left as they are.
QString decodeTextFile(const QByteArray &bytes);

// The whole content of a regular file as text, or empty text when it does
// not exist, is not a regular file, is too large or cannot be read.
QString ReadWholeFile(const QString &path);

}  // namespace velmora
