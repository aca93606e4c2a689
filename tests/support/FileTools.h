#pragma once

// QDir and QFile bring the string and byte array classes of their API.
#include <QDir>
#include <QFile>

#include <algorithm>
#include <functional>
#include <utility>
#include <sys/resource.h>
#include <unistd.h>

namespace velmora::test {

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// A file of tests/data; a missing one ends the test run.
inline QByteArray dataFile(const char *name)
{
    QFile file(QStringLiteral(VELMORA_TEST_DATA "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read test data %s", name);
    return file.readAll();
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// Sets the soft file-size limit and gives back the one before. With SIGXFSZ
// ignored, a write past it fails with EFBIG: a full disk, for this process.
inline rlim_t setFileSizeLimit(rlim_t bytes)
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlim_t old = std::exchange(limit.rlim_cur, bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
    return old;
}

// This process's memory in bytes, from /proc/self/statm: field 0 its size,
// field 1 what of it is resident.
inline qint64 memoryBytes(int field)
{
    return readAll(QStringLiteral("/proc/self/statm")).split(' ').value(field).toLongLong() * ::sysconf(_SC_PAGESIZE);
}

// Runs load with the address space limited to what is used now and 1 GiB:
// a reader that ran away on an endless device would take all the memory of
// the machine (not under AddressSanitizer, which reserves terabytes for
// itself).
inline void withinOneMoreGiB(const std::function<void()> &load)
{
    rlimit old{};
    getrlimit(RLIMIT_AS, &old);
#if !defined(__SANITIZE_ADDRESS__)
    if (const qint64 used = memoryBytes(0); used > 0) {
        const rlimit limit{std::min<rlim_t>(old.rlim_max, rlim_t(used) + (rlim_t(1) << 30)), old.rlim_max};
        setrlimit(RLIMIT_AS, &limit);
    }
#endif
    load();
    setrlimit(RLIMIT_AS, &old);
}

}  // namespace velmora::test
