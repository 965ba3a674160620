#include "platform/FileLock.h"

#include "platform/Ticks.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <sys/file.h>

namespace platform {

bool TryLockFile(int handle, bool exclusive) {
    if (handle < 0)
        return false;
    const int operation = (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    for (;;) {
        if (flock(handle, operation) == 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

bool LockFile(int handle, bool exclusive, int timeoutMs) {
    // flock has no time limit of its own; a blocking flock interrupted by a
    // timer signal would need process-wide signal state, so poll instead.
    // The pause grows from 1 ms to 10 ms: a free lock costs one call and a
    // short contention is resolved quickly, a long one costs little CPU.
    const std::int64_t deadline = TickCount() + std::max(timeoutMs, 0);
    long pauseNs = 1'000'000;
    for (;;) {
        if (TryLockFile(handle, exclusive))
            return true;
        if (errno != EWOULDBLOCK)
            return false;
        const std::int64_t left = deadline - TickCount();
        if (left <= 0)
            return false;
        timespec pause{0, std::min<long>(pauseNs, left * 1'000'000)};
        nanosleep(&pause, nullptr);
        pauseNs = std::min<long>(pauseNs * 2, 10'000'000);
    }
}

void UnlockFile(int handle) {
    if (handle >= 0)
        flock(handle, LOCK_UN);
}

} // namespace platform
