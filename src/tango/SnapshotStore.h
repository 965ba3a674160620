#pragma once

#include "tango/LaserSnapshot.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

// The cache between the Qt thread, which polls the laser, and Tango's
// threads, which serve it: one snapshot behind a mutex, and a version that
// counts its changes so that a waiter learns of each one. Thread-safe.
class TSnapshotStore {
public:
    // A copy of the snapshot; `version`, when given, receives its version.
    TLaserSnapshot Get(std::uint64_t* version = nullptr) const;
    // Applies `change` under the lock; waiters wake when the snapshot is
    // different afterwards. `change` must not call back into the store.
    void Modify(const std::function<void(TLaserSnapshot&)>& change);
    // Blocks until the version is other than `seen` or `stop` is set (the
    // one who sets it then calls WakeWaiters); returns the version then.
    std::uint64_t WaitForChange(std::uint64_t seen, const std::atomic<bool>& stop) const;
    // Wakes every waiter, so that it sees its stop flag.
    void WakeWaiters() const;

private:
    mutable std::mutex FMutex;
    mutable std::condition_variable FChanged;
    TLaserSnapshot FSnapshot;
    std::uint64_t FVersion = 0;
};
