#include "SimLaser.h"

#include <algorithm>

namespace lasersim {

TSimLaser::TSimLaser() {
    // Set 0 and three selectable sets: infrared, green and ultraviolet, low range.
    FHarmonics = {0x05, 0x05, 0x09, 0x0D};
    FRegisters.insert(0x0F90, 0); // polarizer kind 0: the rotation stage is an XY theta stage
}

bool TSimLaser::AnyInterlockOpen() const {
    return FFlowOpen || FTempOpen || FExtOpen || FWorkOpen;
}

bool TSimLaser::Starting(qint64 nowMs) const {
    return FSupply && nowMs < FSupplyOnAt + FStartTimeMs;
}

bool TSimLaser::On(qint64 nowMs) const {
    return FSupply && !Starting(nowMs);
}

bool TSimLaser::OkToFire(qint64 nowMs) const {
    return On(nowMs) && !AnyInterlockOpen() && !FResetFault && nowMs >= FBurstLockUntil;
}

bool TSimLaser::MotorsMoving(qint64 nowMs) const {
    return FMotorsStuck || nowMs < FMotorsUntil || nowMs < FHomingUntil;
}

int TSimLaser::MaxBurst() const {
    return LayoutOfType(FType) == TSimLayout::A ? 50 : 4000;
}

quint64 TSimLaser::PulsesSince(qint64 startMs, qint64 nowMs) const {
    // The first pulse leaves at "GO", the next ones one period apart.
    const qint64 elapsed = std::max<qint64>(0, nowMs - startMs);
    return static_cast<quint64>(elapsed) * static_cast<quint64>(RateHz()) / 1000u + 1u;
}

void TSimLaser::Advance(qint64 nowMs) {
    if (FFiring && FFirePulses > 0 && nowMs >= FFireEnd) {
        FShotsFired += FFirePulses;
        FFiring = false;
        // Family A lasers cool down after a burst before they are ready again.
        if (FFireBurst && LayoutOfType(FType) == TSimLayout::A)
            FBurstLockUntil = FFireEnd + FBurstLockMs;
    }
}

quint64 TSimLaser::Shots(qint64 nowMs) {
    Advance(nowMs);
    if (!FFiring)
        return FShotsFired;
    quint64 pulses = PulsesSince(FFireStart, nowMs);
    if (FFirePulses > 0)
        pulses = std::min(pulses, FFirePulses);
    return FShotsFired + pulses;
}

bool TSimLaser::Firing(qint64 nowMs) {
    Advance(nowMs);
    return FFiring;
}

void TSimLaser::StopFiring(qint64 nowMs) {
    Advance(nowMs);
    if (!FFiring)
        return;
    FShotsFired = Shots(nowMs);
    FFiring = false;
    if (FFireBurst && LayoutOfType(FType) == TSimLayout::A)
        FBurstLockUntil = nowMs + FBurstLockMs;
}

void TSimLaser::SwitchOff(qint64 nowMs) {
    StopFiring(nowMs);
    FSupply = false;
    FShutterOpen = false;
}

void TSimLaser::MoveTo(int& position, int target, qint64 nowMs) {
    if (position == target)
        return;
    position = target;
    if (FMotorTimeMs < 0)
        FMotorsStuck = true;
    else
        FMotorsUntil = std::max(FMotorsUntil, nowMs + FMotorTimeMs);
}

TSimCondition TSimLaser::Condition(qint64 nowMs) const {
    TSimCondition c;
    c.FlowOpen = FFlowOpen;
    c.TempOpen = FTempOpen;
    c.ExtOpen = FExtOpen;
    c.WorkOpen = FWorkOpen;
    c.On = On(nowMs);
    c.Starting = Starting(nowMs);
    c.Firing = FFiring;
    c.Rs232 = FRs232;
    c.ResetFault = FResetFault;
    c.OkToFire = OkToFire(nowMs);
    c.OkToStart = !AnyInterlockOpen() && !FResetFault;
    c.CoolantLow = FCoolantLow;
    c.MotorsMoving = MotorsMoving(nowMs);
    c.MotorsHoming = nowMs < FHomingUntil;
    c.ShutterOpen = FShutterOpen;
    c.Diode1Fault = FDiode1Fault;
    c.Diode2Fault = FDiode2Fault;
    c.RunTempOk = FRunTempOk;
    c.QSwitchDisabled = FQSwitchDisabled;
    c.Mode = FMode;
    return c;
}

quint32 TSimLaser::RawStatus(qint64 nowMs) {
    Advance(nowMs);
    return EncodeStatus(LayoutOfType(FType), Condition(nowMs));
}

} // namespace lasersim
