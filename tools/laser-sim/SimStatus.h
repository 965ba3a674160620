#pragma once

#include <QtGlobal>

namespace lasersim {

// The four raw status layouts: family A (types 2, 6, 7) shares the general
// layout's bits and differs only in how the program reads them.
enum class TSimLayout { General, A, B, C };

TSimLayout LayoutOfType(int type);

// What the laser is doing, independent of how its family reports it.
struct TSimCondition {
    bool FlowOpen = false; // interlocks: true = open (a fault)
    bool TempOpen = false;
    bool ExtOpen = false;
    bool WorkOpen = false; // work-piece, or laser head on family C
    bool On = false;       // supply on and warmed up
    bool Starting = false; // supply on, still starting
    bool Firing = false;
    bool Rs232 = false;
    bool ResetFault = false;
    bool OkToFire = false;
    bool OkToStart = false;
    bool CoolantLow = false;
    bool MotorsMoving = false;
    bool MotorsHoming = false;
    bool ShutterOpen = false;
    bool Diode1Fault = false;
    bool Diode2Fault = false;
    bool RunTempOk = false;
    bool QSwitchDisabled = false;
    int Mode = 1; // 0 continuous, 1 one shot, 2 burst
};

// The raw status word (bits 0..23) that a laser of the given layout sends in
// reply to "SS" in the given condition.
quint32 EncodeStatus(TSimLayout layout, const TSimCondition& condition);

} // namespace lasersim
