#pragma once

namespace velmora {

// An advisory lock (flock) on an open file, so that a reader and the
// in-place writer of the same file never see each other half-done: readers
// share the lock, the writer holds it alone. Another program that takes no
// lock is not held back.
enum class FileLock { Shared, Exclusive };

// How long a reader or writer waits for a lock that another holds; the
// program's own writes hold it for milliseconds.
inline constexpr int maxLockWaitMs = 2000;

// Takes the lock on fd, waiting at most maxWaitMs while another holds a
// lock in the way. False only when that wait ran out; a file system that
// has no locks counts as locked. The lock goes when fd is closed.
bool lockFile(int fd, FileLock kind, int maxWaitMs = maxLockWaitMs);

}  // namespace velmora
