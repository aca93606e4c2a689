#pragma once

#include "core/text/FileLock.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace velmora {

// The one reader of whole files: the viewer's, Open readme's, presets.txt,
// the drafts, the help file and what its pages load. Each caller gives its
// own limit and says in its own words what went wrong.

// A file read whole, if it is a regular file within a size limit.
struct BoundedFile {
    enum class Outcome { Read, Missing, NotAFile, TooLarge, Unreadable };
    Outcome outcome = Outcome::Missing;
    QByteArray bytes;  // the content, when read
    QString text;      // the content as text (decodeTextFile), when read and asked for
    qint64 size = 0;   // the bytes read; when too large, the size found
    int error = 0;     // the system's error number, when missing or unreadable
    QString reason;    // the system's words for it
};

// How readBoundedFile reads, beyond its limit.
struct BoundedRead {
    // Give the text as well as the bytes.
    bool decode = false;
    // Read under this lock of the file (lockFile: after the longest wait
    // the file is read anyway). The lock goes before the text is decoded.
    std::optional<FileLock> lock;
};

// Reads path when it is a regular file (after following links) of at most
// maxBytes. Nothing else is even opened: a device, a pipe or a socket might
// never end, block, or act on being opened. The file is opened without
// waiting and looked at again once open, so a pipe given the name meanwhile
// is refused at once. Never more than maxBytes is kept: a file that grows
// while it is read, or whose size says nothing (/proc), stops at the limit.
// Missing: nothing at path (a name that is not there, or a part of it that
// is not a folder).
BoundedFile readBoundedFile(const QString &path, qint64 maxBytes, const BoundedRead &how = {});

// Bytes of a text file to text: UTF-8 when they start with a UTF-8 byte-order
// mark (not kept) or are valid UTF-8, Windows-1252 otherwise. Line ends are
// left as they are.
QString decodeTextFile(const QByteArray &bytes);

}  // namespace velmora
