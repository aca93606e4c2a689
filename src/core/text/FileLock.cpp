#include "core/text/FileLock.h"

#include <QDeadlineTimer>

#include <cerrno>
#include <ctime>
#include <sys/file.h>

namespace velmora {

bool lockFile(int fd, FileLock kind, int maxWaitMs)
{
    const int operation = (kind == FileLock::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
    const QDeadlineTimer deadline(maxWaitMs);
    for (;;) {
        if (::flock(fd, operation) == 0)
            return true;
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return true;  // no locks here (ENOLCK, EINVAL): nothing to wait for
        if (deadline.hasExpired())
            return false;
        const timespec pause{0, 200 * 1000};  // 0.2 ms: a lock is held for about that long
        ::nanosleep(&pause, nullptr);
    }
}

}  // namespace velmora
