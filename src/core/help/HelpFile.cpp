#include "core/help/HelpFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

BoundedFile readBoundedFile(const QString &path, qint64 maxBytes)
{
    BoundedFile result;
    const QByteArray name = QFile::encodeName(path);
    struct stat before {};
    if (path.isEmpty() || ::stat(name.constData(), &before) != 0) {
        const int error = path.isEmpty() ? ENOENT : errno;
        result.outcome = error == ENOENT || error == ENOTDIR ? BoundedFile::Outcome::Missing
                                                             : BoundedFile::Outcome::Unreadable;
        result.reason = systemReason(error);
        return result;
    }
    if (!S_ISREG(before.st_mode)) {
        result.outcome = BoundedFile::Outcome::NotAFile;
        return result;
    }
    if (before.st_size > maxBytes) {
        result.outcome = BoundedFile::Outcome::TooLarge;
        result.size = before.st_size;
        return result;
    }
    // Non-blocking, and checked again once open: the name may have been
    // given to a pipe since.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        result.outcome = BoundedFile::Outcome::Unreadable;
        result.reason = systemReason(errno);
        return result;
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        result.outcome = BoundedFile::Outcome::NotAFile;
        return result;
    }
    QByteArray bytes;
    bytes.reserve(qsizetype(std::min<qint64>(opened.st_size, maxBytes)));
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            result.outcome = BoundedFile::Outcome::Unreadable;
            result.reason = systemReason(errno);
            ::close(fd);
            return result;
        }
        if (got == 0)
            break;
        if (bytes.size() + got > maxBytes) {
            result.outcome = BoundedFile::Outcome::TooLarge;
            result.size = bytes.size() + got;
            ::close(fd);
            return result;
        }
        bytes.append(chunk, got);
    }
    ::close(fd);
    result.outcome = BoundedFile::Outcome::Read;
    result.bytes = std::move(bytes);
    return result;
}

std::optional<QByteArray> readHelpResource(const QString &folder, const QString &path)
{
    const QString inside = QFileInfo(folder).canonicalFilePath();
    // Every link followed: where the name really leads.
    const QString real = QFileInfo(path).canonicalFilePath();
    if (inside.isEmpty() || real.isEmpty())
        return std::nullopt;
    const QString prefix = inside.endsWith(QLatin1Char('/')) ? inside : inside + QLatin1Char('/');
    if (!real.startsWith(prefix))
        return std::nullopt;
    const BoundedFile file = readBoundedFile(real, maxHelpResourceBytes);
    if (file.outcome != BoundedFile::Outcome::Read)
        return std::nullopt;
    return file.bytes;
}

}  // namespace velmora
