#include "tango/DeviceView.h"

#include "session/SafetyPoll.h"

TLaserStatus AlarmBits() {
    return TLaserStatus((TSafetyPoll::FaultMask & ~lsStart) | lsCoolantLow);
}

namespace {

std::string NamesOf(TLaserStatus bits) {
    std::string names;
    for (int bit = 0; bit < DerivedStatusBits; ++bit) {
        if (!(bits & (1u << bit)))
            continue;
        if (!names.empty())
            names += ", ";
        names += DerivedStatusNames[static_cast<std::size_t>(bit)];
    }
    return names;
}

TDeviceView PolledView(const TLaserSnapshot& s) {
    const TLaserStatus alarms = s.Status & AlarmBits();
    if (alarms)
        return {TDeviceState::Alarm, "Fault: " + NamesOf(alarms)};
    if (s.LateJobs > 0)
        return {TDeviceState::Moving, "Busy with a setting"};
    if (s.Status & lsFire)
        return {TDeviceState::Running, "Firing"};
    if (s.Status & lsOn)
        return {TDeviceState::On, "Supply on"};
    if (s.Status & lsStart)
        return {TDeviceState::On, "Supply starting"};
    return {TDeviceState::Standby, "Supply off"};
}

} // namespace

TDeviceView ViewOf(const TLaserSnapshot& s) {
    TDeviceView view;
    switch (s.Phase) {
    case TStationPhase::Starting:
        view = {TDeviceState::Init, "Starting"};
        break;
    case TStationPhase::Discovering:
        view = {TDeviceState::Init, "Looking for laser..."};
        break;
    case TStationPhase::NotFound:
        view = {TDeviceState::Fault, "Laser failed to initialize"};
        if (!s.Problem.empty())
            view.Status += "\n" + s.Problem;
        break;
    case TStationPhase::Lost:
        view = {TDeviceState::Fault, "Laser not responding"};
        break;
    case TStationPhase::ResetFailure:
        view = {TDeviceState::Fault, "Laser supply reset failure: run Init to restart the laser"};
        break;
    case TStationPhase::Ready:
        view = PolledView(s);
        break;
    }
    if (s.Phase == TStationPhase::Ready && !s.Laser.empty())
        view.Status += "\n" + s.Laser;
    for (const std::string& note : s.Notes)
        view.Status += "\n" + note;
    return view;
}
