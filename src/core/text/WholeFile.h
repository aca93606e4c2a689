#pragma once

#include <QString>

#include "core/text/TextShape.h"

namespace velmora {

// What the viewer shows at most. Its text box answers within a few seconds,
// with a few hundred MiB at most, on any file within all three; a file
// beyond any of them is treated as unreadable (empty text).
// - bytes of the file;
constexpr qint64 maxViewerFileBytes = qint64(16) * 1024 * 1024;
// - lines: the box keeps over a hundred bytes and spends a few microseconds
//   on every line, however short;
constexpr qint64 maxViewerFileLines = 300'000;
// - characters of one line: the box lays out a line whole when any of it
//   comes into view, in time that grows with its length, and a page can
//   hold a dozen such lines when their characters take no width.
constexpr qint64 maxViewerLineChars = 128 * 1024;

// Within maxViewerFileLines and maxViewerLineChars.
bool fitsTheViewer(const TextShape &shape);

// The whole content of a regular file as text (readBoundedFile, decoded),
// or empty text when it does not exist, is not a regular file, cannot be
// read or is beyond the limits above.
QString readWholeFile(const QString &path);

}  // namespace velmora
