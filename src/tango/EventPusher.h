#pragma once

#include "tango/DeviceView.h"
#include "tango/LaserSnapshot.h"

#include <array>
#include <atomic>
#include <optional>
#include <thread>

class TSnapshotStore;
class TTrevalonDevice;

// Pushes the device's change events from the poll's results: State, Status
// and every attribute the table marks, each only when it changed.
//
// It runs on a thread of its own because a push must hold the device's
// monitor (Tango reads the same attribute objects for clients), and neither
// thread at hand may wait for it: Tango's request threads hold the monitor
// while they wait for the Qt thread, so the Qt thread must never wait for
// the monitor. A push that cannot get the monitor in time is tried again.
class TEventPusher {
public:
    // Starts the thread. Both must outlive the pusher.
    TEventPusher(TTrevalonDevice& device, const TSnapshotStore& store);
    // Stops the thread and waits for it.
    ~TEventPusher();
    TEventPusher(const TEventPusher&) = delete;
    TEventPusher& operator=(const TEventPusher&) = delete;

private:
    void Run();
    void PushChanges(const TLaserSnapshot& snapshot);
    void Push(TAttrId id, const TAttrValue& value);

    TTrevalonDevice& FDevice;
    const TSnapshotStore& FStore;
    std::atomic<bool> FStop{false};
    std::optional<TDeviceView> FPushedView;
    std::array<std::optional<TAttrValue>, AttrCount> FPushed;
    std::thread FThread;
};
