#include "core/text/BoundedFile.h"

#include "core/text/Descriptor.h"
#include "core/text/Win1252.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

using Outcome = BoundedFile::Outcome;

BoundedFile refused(Outcome outcome, int error = 0)
{
    BoundedFile file;
    file.outcome = outcome;
    file.error = error;
    if (error != 0)
        file.reason = QString::fromLocal8Bit(std::strerror(error));
    return file;
}

// A name that leads nowhere is missing; any other failure is the system's.
BoundedFile notOpened(int error)
{
    return refused(error == ENOENT || error == ENOTDIR ? Outcome::Missing : Outcome::Unreadable, error);
}

BoundedFile tooLarge(qint64 size)
{
    BoundedFile file = refused(Outcome::TooLarge);
    file.size = size;
    return file;
}

BoundedFile readRegularFile(const QString &path, qint64 maxBytes, std::optional<FileLock> lock)
{
    if (path.isEmpty())
        return notOpened(ENOENT);
    const QByteArray name = QFile::encodeName(path);
    // Looked at first, so that only a regular file is ever opened.
    struct stat found {};
    if (::stat(name.constData(), &found) != 0)
        return notOpened(errno);
    if (!S_ISREG(found.st_mode))
        return refused(Outcome::NotAFile);
    // Without waiting, and looked at again once open: a pipe given the name
    // since is refused at once instead of blocking the program.
    const Descriptor fd(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0)
        return notOpened(errno);
    struct stat opened {};
    if (::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode))
        return refused(Outcome::NotAFile);
    if (opened.st_size > maxBytes)
        return tooLarge(opened.st_size);
    if (lock)
        lockFile(fd.get(), *lock);  // read anyway once the wait runs out

    QByteArray bytes;
    bytes.reserve(qsizetype(std::min<qint64>(opened.st_size, maxBytes)));
    char chunk[64 * 1024];
    for (;;) {
        // Whole pieces, which every file of /proc takes (pagemap only reads
        // in steps of 8 bytes); a piece that goes past the limit ends it.
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return refused(Outcome::Unreadable, errno);
        if (got == 0)
            break;
        if (bytes.size() + got > maxBytes)
            return tooLarge(bytes.size() + got);  // it grew since it was looked at
        bytes.append(chunk, got);
    }
    BoundedFile file;
    file.outcome = Outcome::Read;
    file.size = bytes.size();
    file.bytes = std::move(bytes);
    return file;
}

}  // namespace

BoundedFile readBoundedFile(const QString &path, qint64 maxBytes, const BoundedRead &how)
{
    BoundedFile file = readRegularFile(path, maxBytes, how.lock);  // closed, and unlocked
    if (how.decode && file.outcome == Outcome::Read)
        file.text = decodeTextFile(file.bytes);
    return file;
}

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

}  // namespace velmora
