#include "core/text/AtomicFile.h"

#include "core/text/Descriptor.h"
#include "core/text/FileLock.h"
#include "core/text/FilePath.h"
#include "core/text/Links.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

bool fail(QString *error, const QString &path, const QString &reason)
{
    if (error)
        *error = cannotWrite(path, reason);
    return false;
}

QString systemReason(int code)
{
    return qt_error_string(code);
}

// Every byte from the start of the file, or the errno of the failure;
// written counts the bytes that did reach the file either way.
int writeAllFromStart(int fd, const char *data, qint64 size, qint64 *written)
{
    *written = 0;
    while (*written < size) {
        const ssize_t n = ::pwrite(fd, data + *written, size_t(size - *written), off_t(*written));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return EIO;
        *written += n;
    }
    return 0;
}

// The whole file as it is now, or the errno of the failure.
int readAll(int fd, qint64 size, QByteArray *into)
{
    into->resize(size);
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, into->data() + done, size_t(size - done), done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            break;  // the file became shorter while it was read
        done += n;
    }
    into->resize(done);
    return 0;
}

// A path that names something other than a regular file or a folder, after
// following symbolic links: a pipe, a device or a socket.
bool isSpecialFile(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

// The new file takes the owner and group of the file it replaces, where
// this user may give them (root may; another user may keep a group that
// they belong to), as it takes its mode.
void keepOwner(int fd, const QString &replaced)
{
    struct stat st {};
    if (::stat(QFile::encodeName(replaced).constData(), &st) != 0)
        return;
    if (::fchown(fd, st.st_uid, st.st_gid) != 0 && ::fchown(fd, uid_t(-1), st.st_gid) != 0) {
        // Not allowed: the new file stays this user's, as any file they make.
    }
}

}  // namespace

QString cannotWrite(const QString &path, const QString &why)
{
    return QStringLiteral("Cannot write \"%1\": %2.").arg(QDir::toNativeSeparators(path), why);
}

bool writeFileInPlace(const QString &path, const QByteArray &bytes, QString *error)
{
    // O_NONBLOCK: opening a pipe must never wait for a reader; it has no
    // effect on a regular file, the only kind written here.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return fail(error, path, systemReason(errno));
    Descriptor file(fd);

    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return fail(error, path, systemReason(errno));
    if (!S_ISREG(st.st_mode))
        return fail(error, path, QStringLiteral("it is not a regular file"));
    // Readers of the file wait until it is whole again; the lock goes when
    // the file is closed.
    if (!lockFile(fd, FileLock::Exclusive))
        return fail(error, path, QStringLiteral("another program is using the file"));

    QByteArray old;
    if (const int rc = readAll(fd, st.st_size, &old))
        return fail(error, path, systemReason(rc));
    const qint64 oldSize = old.size();

    // Room first: nothing has changed yet when this fails (full disk, quota,
    // file-size limit). A file system that cannot reserve room says so, and
    // the old bytes kept above are put back if the write fails later.
    if (bytes.size() > oldSize) {
        int rc;
        do {
            rc = ::fallocate(fd, 0, 0, off_t(bytes.size()));
        } while (rc != 0 && errno == EINTR);
        if (rc != 0 && errno != EOPNOTSUPP) {
            const int code = errno;
            // A reservation cut short may have made the file longer.
            if (::ftruncate(fd, off_t(oldSize)) != 0) {
                // Nothing more to try: the old bytes themselves are untouched.
            }
            return fail(error, path, systemReason(code));
        }
    }

    // Puts back the old bytes that were written over (only those: past
    // them the old content never changed) and the old length.
    qint64 changed = 0;
    const auto putBack = [&](int code) {
        qint64 restored = 0;
        const bool whole = writeAllFromStart(fd, old.constData(), qMin(changed, oldSize), &restored) == 0
                           && ::ftruncate(fd, off_t(oldSize)) == 0 && ::fsync(fd) == 0;
        return fail(error, path,
                    whole ? systemReason(code)
                          : QStringLiteral("%1; the old content could not be put back").arg(systemReason(code)));
    };

    if (const int rc = writeAllFromStart(fd, bytes.constData(), bytes.size(), &changed))
        return putBack(rc);
    if (::ftruncate(fd, off_t(bytes.size())) != 0)
        return putBack(errno);
    if (::fsync(fd) != 0)
        return putBack(errno);
    if (file.close() != 0)
        return fail(error, path, systemReason(errno));
    return true;
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    if (path.isEmpty())
        return fail(error, path, QStringLiteral("no file name was given"));
    // A name alone would be written in whatever folder the program was
    // started from.
    if (!QDir::isAbsolutePath(path))
        return fail(error, path, QStringLiteral("the name does not say which folder it is in"));
    // Every link on the way is followed here, under the rule the kernel
    // applies to links in shared folders; what is written is the file the
    // links lead to (its own name when that can be held as text).
    const FollowedPath followed = followLinks(QFile::encodeName(path));
    if (!followed.problem.isEmpty())
        return fail(error, path, followed.problem);
    const QString real = nameOrFallback(followed.path, path);

    // Caught before QSaveFile so that the reason is plain and nothing is
    // created on the way.
    const QFileInfo target(path);
    if (target.isDir())
        return fail(error, path, QStringLiteral("a folder of that name is in the way"));
    const QFileInfo folder(target.absolutePath());
    if (!folder.exists())
        return fail(error, path, QStringLiteral("the folder %1 does not exist")
                                     .arg(QDir::toNativeSeparators(folder.filePath())));
    if (!folder.isDir())
        return fail(error, path, QStringLiteral("%1 is a file, not a folder")
                                     .arg(QDir::toNativeSeparators(folder.filePath())));
    // Renaming over a pipe or a device would replace the node itself.
    if (isSpecialFile(path))
        return fail(error, path, QStringLiteral("it is not a regular file"));

    QSaveFile file(real);
    // Unbuffered, so every write reports its own failure: a buffered write
    // that fails only when commit() flushes it (a full disk) is not reported
    // by QSaveFile, which would then put a cut-short file in place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // A folder that takes no new files: a file there that this user may
        // write is written in place (the links to it were followed above:
        // the link's target is written, the link kept).
        const QFileInfo resolved(real);
        if (resolved.isFile() && resolved.isWritable() && !mayCreateFilesIn(resolved.absolutePath()))
            return writeFileInPlace(resolved.filePath(), bytes, error);
        return fail(error, path, file.errorString());
    }
    keepOwner(int(file.handle()), real);
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();  // the temporary file goes; the old file stays
            return fail(error, path, reason);
        }
        done += written;
    }
    if (!file.commit())
        return fail(error, path, file.errorString());
    return true;
}

bool replacePrivateFile(const QString &path, const QByteArray &bytes, QString *error)
{
    const QByteArray name = QFile::encodeName(path), temporary = name + ".new";
    ::unlink(temporary.constData());  // left by a write that its run's end cut short
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0)
        return fail(error, path, systemReason(errno));
    Descriptor file(fd);
    qint64 written = 0;
    // 0600 whatever the umask: the mode given to open only loses bits to it.
    int rc = ::fchmod(fd, 0600) != 0 ? errno : writeAllFromStart(fd, bytes.constData(), bytes.size(), &written);
    if (rc == 0 && ::fsync(fd) != 0)
        rc = errno;
    if (rc == 0 && file.close() != 0)
        rc = errno;
    if (rc == 0 && ::rename(temporary.constData(), name.constData()) != 0)
        rc = errno;
    if (rc != 0) {
        ::unlink(temporary.constData());
        return fail(error, path, systemReason(rc));
    }
    return true;
}

}  // namespace velmora
