#include "tango/SnapshotStore.h"

TLaserSnapshot TSnapshotStore::Get(std::uint64_t* version) const {
    const std::lock_guard lock(FMutex);
    if (version)
        *version = FVersion;
    return FSnapshot;
}

void TSnapshotStore::Modify(const std::function<void(TLaserSnapshot&)>& change) {
    {
        const std::lock_guard lock(FMutex);
        TLaserSnapshot next = FSnapshot;
        change(next);
        if (next == FSnapshot)
            return;
        FSnapshot = std::move(next);
        ++FVersion;
    }
    FChanged.notify_all();
}

std::uint64_t TSnapshotStore::WaitForChange(std::uint64_t seen,
                                            const std::atomic<bool>& stop) const {
    std::unique_lock lock(FMutex);
    FChanged.wait(lock, [&] { return FVersion != seen || stop; });
    return FVersion;
}

void TSnapshotStore::WakeWaiters() const {
    // Under the lock, so that a waiter between its test of the flag and its
    // sleep does not miss the wake-up.
    { const std::lock_guard lock(FMutex); }
    FChanged.notify_all();
}
