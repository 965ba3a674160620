#include "SimStatus.h"

namespace lasersim {

namespace {

quint32 Bit(bool set, int bit) {
    return set ? (1u << bit) : 0u;
}

// Bits every layout places alike: RS232 mode, the firing mode, coolant low
// (chiller failure on B and C), motors moving (named shutter failure on B and
// C, but the motor wait reads bit 20 on every laser), OK to start, OK to
// fire and reset fault.
quint32 CommonBits(const TSimCondition& c) {
    return Bit(c.Rs232, 7) | Bit(c.Mode == 1, 10) | Bit(c.Mode == 0, 11) | Bit(c.Mode == 2, 12) |
           Bit(c.CoolantLow, 19) | Bit(c.MotorsMoving, 20) | Bit(c.OkToStart, 21) |
           Bit(c.OkToFire, 22) | Bit(c.ResetFault, 23);
}

quint32 GeneralLayout(const TSimCondition& c) {
    return Bit(c.FlowOpen, 0) | Bit(c.TempOpen, 1) | Bit(c.ExtOpen, 2) | Bit(c.WorkOpen, 3) |
           Bit(c.On, 4) | Bit(c.Firing, 5) | Bit(c.Starting, 6) | Bit(c.QSwitchDisabled, 13) |
           Bit(c.MotorsHoming, 18);
}

// Type 5: diode laser, one driver; the temperature interlock is the diode's.
quint32 LayoutB(const TSimCondition& c) {
    return Bit(c.Diode1Fault, 0) | Bit(c.WorkOpen, 2) | Bit(c.ExtOpen, 3) | Bit(c.FlowOpen, 4) |
           Bit(c.TempOpen, 5) | Bit(c.On, 8) | Bit(c.Firing, 13) | Bit(c.Starting, 14);
}

// Type 8: two diode drivers, a shutter and a run-temperature flag.
quint32 LayoutC(const TSimCondition& c) {
    return Bit(c.FlowOpen, 0) | Bit(c.TempOpen, 1) | Bit(c.ExtOpen, 2) | Bit(c.WorkOpen, 3) |
           Bit(c.ShutterOpen, 4) | Bit(c.Diode1Fault, 5) | Bit(c.Diode2Fault, 6) | Bit(c.On, 8) |
           Bit(c.Firing, 13) | Bit(c.Starting, 14) | Bit(c.RunTempOk, 16);
}

} // namespace

TSimLayout LayoutOfType(int type) {
    switch (type) {
    case 2:
    case 6:
    case 7:
        return TSimLayout::A;
    case 5:
        return TSimLayout::B;
    case 8:
        return TSimLayout::C;
    default:
        return TSimLayout::General;
    }
}

quint32 EncodeStatus(TSimLayout layout, const TSimCondition& condition) {
    const quint32 common = CommonBits(condition);
    switch (layout) {
    case TSimLayout::B:
        return common | LayoutB(condition);
    case TSimLayout::C:
        return common | LayoutC(condition);
    case TSimLayout::General:
    case TSimLayout::A:
        break;
    }
    return common | GeneralLayout(condition);
}

} // namespace lasersim
