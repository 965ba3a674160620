#include "tango/EventPusher.h"

#include "tango/SnapshotStore.h"
#include "tango/TrevalonDevice.h"

#include <sys/time.h>

#include <cmath>

namespace {

// The device's monitor, which the device serialises its requests with (the
// server keeps Tango's default model, by device). Throws DevFailed when the
// monitor is not free within its time-out.
class TMonitorHold {
public:
    explicit TMonitorHold(Tango::TangoMonitor& monitor) : FMonitor(monitor) {
        FMonitor.get_monitor();
    }
    ~TMonitorHold() { FMonitor.rel_monitor(); }
    TMonitorHold(const TMonitorHold&) = delete;
    TMonitorHold& operator=(const TMonitorHold&) = delete;

private:
    Tango::TangoMonitor& FMonitor;
};

} // namespace

TEventPusher::TEventPusher(TTrevalonDevice& device, const TSnapshotStore& store)
    : FDevice(device), FStore(store), FThread([this] { Run(); }) {}

TEventPusher::~TEventPusher() {
    FStop = true;
    FStore.WakeWaiters();
    FThread.join();
}

void TEventPusher::Run() {
    // Tango's monitor identifies its holder by omniORB's thread object.
    omni_thread::ensure_self self;
    std::uint64_t pushed = 0;
    bool first = true;
    while (!FStop) {
        // Asleep until the poll changes something: an idle laser costs the
        // pusher nothing. The first round pushes what there is at once.
        if (!first && FStore.WaitForChange(pushed, FStop) == pushed)
            continue; // woken to stop
        std::uint64_t taken = 0;
        const TLaserSnapshot snapshot = FStore.Get(&taken);
        try {
            const TMonitorHold hold(FDevice.get_dev_monitor());
            PushChanges(snapshot);
            pushed = taken;
            first = false;
        } catch (const Tango::DevFailed&) {
            // The monitor stayed taken (a long request) or a push failed:
            // the next round compares against what did go out.
        }
    }
}

void TEventPusher::PushChanges(const TLaserSnapshot& snapshot) {
    const TDeviceView view = ViewOf(snapshot);
    if (view != FPushedView) {
        // Tango fills the State and Status events from the device's own
        // state and status; handing it a value as well would leave a copy
        // of it allocated on every push.
        FDevice.set_state(TTrevalonDevice::TangoState(view.State));
        FDevice.set_status(view.Status);
        FDevice.push_change_event("State");
        FDevice.push_change_event("Status");
        FPushedView = view;
    }
    for (int id = 0; id < AttrCount; ++id) {
        if (!AttrInfo(TAttrId(id)).Events)
            continue;
        const TAttrValue& value = snapshot.Values[id];
        if (FPushed[id] == value)
            continue;
        Push(TAttrId(id), value);
        FPushed[id] = value;
    }
}

void TEventPusher::Push(TAttrId id, const TAttrValue& value) {
    const std::string name = AttrInfo(id).Name;
    timeval now{};
    gettimeofday(&now, nullptr);
    const Tango::AttrQuality quality = value.Valid ? Tango::ATTR_VALID : Tango::ATTR_INVALID;
    switch (AttrInfo(id).Kind) {
    case TAttrKind::Bool: {
        Tango::DevBoolean flag = value.Number != 0;
        FDevice.push_change_event(name, &flag, now, quality);
        break;
    }
    case TAttrKind::UShort: {
        auto word = static_cast<Tango::DevUShort>(value.Number);
        FDevice.push_change_event(name, &word, now, quality);
        break;
    }
    case TAttrKind::Long: {
        auto number = static_cast<Tango::DevLong>(std::lround(value.Number));
        FDevice.push_change_event(name, &number, now, quality);
        break;
    }
    case TAttrKind::Double: {
        Tango::DevDouble number = value.Number;
        FDevice.push_change_event(name, &number, now, quality);
        break;
    }
    case TAttrKind::Enum:
    case TAttrKind::String:
        // No enumeration or text carries events.
        break;
    }
}
