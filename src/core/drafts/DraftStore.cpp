#include "core/drafts/DraftStore.h"

#include "core/drafts/DraftFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

const char draftSuffix[] = ".draft";
const char lockSuffix[] = ".lock";
const char claimSuffix[] = ".claim";  // a lock file before it is locked
const char asideSuffix[] = ".unreadable";

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

// Locks the regular file at path without waiting. Nothing when another
// process holds it, or when the name no longer leads to the file that was
// locked (its last holder deleted it meanwhile).
std::optional<HeldLock> tryLock(const QString &path)
{
    const int fd = ::open(native(path).constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    HeldLock lock(fd);
    struct stat opened {}, named {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return std::nullopt;
    if (::stat(native(path).constData(), &named) != 0 || named.st_ino != opened.st_ino
        || named.st_dev != opened.st_dev)
        return std::nullopt;
    return lock;
}

// A new file at path, open to this user alone and locked before anyone
// else can see it under a name that is looked at; nothing when the file (or
// a link) is already there.
std::optional<HeldLock> createLocked(const QString &path)
{
    const int fd = ::open(native(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return std::nullopt;
    HeldLock lock(fd);
    if (::fchmod(fd, 0600) != 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return std::nullopt;
    return lock;
}

// Makes each missing folder of path, open to this user alone, as the XDG
// convention asks of the state folder; never inside a folder of another
// user but root (root would make one in a user's home that the user could
// not use). Why not, or empty.
QString makePrivateFolders(const QByteArray &path)
{
    QList<QByteArray> missing;
    QByteArray existing = path;
    struct stat st {};
    while (::stat(existing.constData(), &st) != 0) {
        if (errno != ENOENT)
            return QStringLiteral("cannot be made: %1").arg(qt_error_string(errno));
        missing.prepend(existing);
        const qsizetype slash = existing.lastIndexOf('/');
        existing = slash > 0 ? existing.left(slash) : QByteArray("/");
    }
    for (const QByteArray &folder : std::as_const(missing)) {
        if (st.st_uid != ::geteuid() && st.st_uid != 0)
            return QStringLiteral("would be made in %1, a folder of another user")
                .arg(QFile::decodeName(existing));
        if ((::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST) || ::stat(folder.constData(), &st) != 0)
            return QStringLiteral("cannot be made: %1").arg(qt_error_string(errno));
        existing = folder;
    }
    return QString();
}

}  // namespace

HeldLock::~HeldLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

HeldLock &HeldLock::operator=(HeldLock &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

void LeftDraft::discard()
{
    // The draft first: a lock file without a draft is only a leftover, a
    // draft without its lock would look like a finished run's.
    QFile::remove(draftPath);
    QFile::remove(draftPath + QLatin1String(".new"));  // a write cut short
    QFile::remove(lockPath);
    lock = HeldLock();
}

DraftStore::DraftStore(QString folder) : m_folder(std::move(folder)) {}

DraftStore::~DraftStore()
{
    if (m_folderFd >= 0)
        ::close(m_folderFd);
}

// Opens the folder once for the run, when it is there (made when create
// says so) and no one else may change it; otherwise m_problem says why.
bool DraftStore::openFolder(bool create)
{
    if (m_folderFd >= 0)
        return true;
    if (m_folder.isEmpty() || !m_problem.isEmpty())
        return false;
    const QByteArray path =
        native(QDir::cleanPath(QDir::isAbsolutePath(m_folder) ? m_folder : QDir::current().absoluteFilePath(m_folder)));
    QString why = create ? makePrivateFolders(path) : QString();
    struct stat st {};
    const int fd = why.isEmpty() ? ::open(path.constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC) : -1;
    if (why.isEmpty() && fd < 0) {
        const int code = errno;
        if (code == ENOENT && !create)
            return false;  // no drafts yet
        if (::lstat(path.constData(), &st) == 0 && S_ISLNK(st.st_mode))
            why = QStringLiteral("is a symbolic link");
        else if (code == ENOTDIR)
            why = QStringLiteral("is not a folder");
        else
            why = QStringLiteral("cannot be opened: %1").arg(qt_error_string(code));
    } else if (fd >= 0 && ::fstat(fd, &st) != 0) {
        why = QStringLiteral("cannot be opened: %1").arg(qt_error_string(errno));
    } else if (fd >= 0 && st.st_uid != ::geteuid()) {
        why = QStringLiteral("belongs to another user");
    } else if (fd >= 0 && (st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        why = QStringLiteral("may be written by other users");
    }
    if (!why.isEmpty()) {
        if (fd >= 0)
            ::close(fd);
        m_problem = QStringLiteral("Velmora keeps no drafts in this run: \"%1\" %2.").arg(m_folder, why);
        return false;
    }
    m_folderFd = fd;
    m_opened = QStringLiteral("/proc/self/fd/%1").arg(fd);
    return true;
}

QString DraftStore::pathOf(const QString &name, const char *suffix) const
{
    return m_opened + u'/' + name + QLatin1String(suffix);
}

bool DraftStore::claim()
{
    if (claimed())
        return true;
    if (!openFolder(true))
        return false;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QString name = QStringLiteral("%1-%2")
                                 .arg(::getpid())
                                 .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
        // Locked under a name that no start looks at, then renamed: no one
        // ever sees this run's lock file unlocked.
        const QString claimPath = pathOf(name, claimSuffix);
        std::optional<HeldLock> lock = createLocked(claimPath);
        if (!lock)
            continue;
        if (::rename(native(claimPath).constData(), native(pathOf(name, lockSuffix)).constData()) != 0) {
            QFile::remove(claimPath);
            return false;
        }
        m_name = name;
        m_lock = std::move(*lock);
        return true;
    }
    return false;
}

QString DraftStore::draftPath() const
{
    return claimed() ? pathOf(m_name, draftSuffix) : QString();
}

void DraftStore::removeOwn()
{
    if (!claimed())
        return;
    QFile::remove(pathOf(m_name, draftSuffix));
    QFile::remove(pathOf(m_name, lockSuffix));
    m_lock = HeldLock();
    m_name.clear();
}

std::optional<LeftDraft> DraftStore::takeLeftDraft()
{
    if (!openFolder(false))
        return std::nullopt;
    // Each name once, whether its draft, its lock or both are there.
    QStringList names;
    const QDir dir(m_opened);
    for (const QString &entry : dir.entryList(QDir::Files | QDir::System | QDir::Hidden | QDir::Dirs
                                              | QDir::NoDotAndDotDot)) {
        QString name = entry;
        if (entry.endsWith(QLatin1String(draftSuffix)))
            name.chop(qsizetype(sizeof draftSuffix) - 1);
        else if (entry.endsWith(QLatin1String(lockSuffix)))
            name.chop(qsizetype(sizeof lockSuffix) - 1);
        else
            continue;
        if (!name.isEmpty() && name != m_name && !names.contains(name))
            names << name;
    }

    std::optional<LeftDraft> newest;
    QDateTime newestTime;
    for (const QString &name : names) {
        const QString draftPath = pathOf(name, draftSuffix);
        const QString lockPath = pathOf(name, lockSuffix);
        // Only this user's own regular file is read. The folder is this
        // user's alone, so nothing but this user changes what lstat saw
        // before it is read.
        struct stat draft {}, lockFile {};
        const bool drafted = ::lstat(native(draftPath).constData(), &draft) == 0;
        if (drafted && (S_ISLNK(draft.st_mode) || draft.st_uid != ::geteuid()))
            continue;
        // A draft whose lock file is gone was left by a run that ended
        // before it could tidy up; its lock is made anew to hold it.
        std::optional<HeldLock> lock = ::lstat(native(lockPath).constData(), &lockFile) == 0 ? tryLock(lockPath)
                                                                                             : createLocked(lockPath);
        if (!lock)
            continue;  // a running program's, another start holds it, or a link
        LeftDraft left{draftPath, lockPath, {}, std::move(*lock)};
        if (!drafted) {
            QFile::remove(lockPath);  // a leftover lock
            continue;
        }
        const DraftRead read = readDraftFile(draftPath);
        if (read.outcome != DraftReading::Read) {
            ::rename(native(draftPath).constData(), native(pathOf(name, asideSuffix)).constData());
            QFile::remove(lockPath);
            continue;
        }
        if (!holdsTypedText(read.values)) {
            left.discard();
            continue;
        }
        left.values = read.values;
        const QDateTime written = QDateTime::fromSecsSinceEpoch(draft.st_mtim.tv_sec).addMSecs(draft.st_mtim.tv_nsec / 1000000);
        if (!newest || written > newestTime) {
            newest = std::move(left);
            newestTime = written;
        }
    }
    return newest;
}

}  // namespace velmora
