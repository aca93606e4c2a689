#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace velmora {

// Velmora's help file is some 25 KB of HTML. A file far larger is not the
// help file, and the help window would take long to lay it out, so it is
// not read at all.
inline constexpr qint64 maxHelpFileBytes = qint64(4) * 1024 * 1024;
// A picture, style sheet or page that a help page names.
inline constexpr qint64 maxHelpResourceBytes = qint64(4) * 1024 * 1024;

// A file read whole, if it is a regular file within a size limit.
struct BoundedFile {
    enum class Outcome { Read, Missing, NotAFile, TooLarge, Unreadable };
    Outcome outcome = Outcome::Missing;
    QByteArray bytes;  // the content, when read
    qint64 size = 0;   // the size found, when too large
    QString reason;    // the system's reason, when unreadable
};

// Reads path when it is a regular file (after following links) of at most
// maxBytes. Nothing else is even opened: a device, a pipe or a socket might
// never end, block, or act on being opened. A file that grows while it is
// read stops at the limit.
BoundedFile readBoundedFile(const QString &path, qint64 maxBytes);

// The content of a file that a help page in folder names (path: absolute),
// when the help window may load it: a regular file inside folder or a folder
// below it, once every link is followed, of at most maxHelpResourceBytes.
// Nothing otherwise: no device, no /proc, nothing a link leads out to.
std::optional<QByteArray> readHelpResource(const QString &folder, const QString &path);

}  // namespace velmora
