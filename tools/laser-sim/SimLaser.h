#pragma once

#include "SimStatus.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QtGlobal>

#include <optional>

namespace lasersim {

// The simulated laser: its state and its answers to protocol commands.
// Pure logic without I/O. Time comes in as a millisecond count from the
// caller, so tests drive it without sleeping; everything that ends by itself
// (start-up, a shot, a burst, a motor move, the burst lock-out) is settled
// lazily from that count.
class TSimLaser {
public:
    TSimLaser();

    // Answers one command (the text after ";LA", without the CR). The result
    // is the reply line without its CR; nullopt means the laser stays silent.
    std::optional<QByteArray> Handle(const QByteArray& command, qint64 nowMs);

    // The raw status word as the laser would send it in reply to "SS" now.
    quint32 RawStatus(qint64 nowMs);

    // Control interface: changes one named setting; returns an empty text on
    // success, else what was wrong. Names and values are in the README.
    QByteArray Set(const QByteArray& name, const QByteArray& value, qint64 nowMs);
    // Reads one named setting or read-out; nullopt for an unknown name.
    std::optional<QByteArray> Get(const QByteArray& name, qint64 nowMs);

    int Type() const { return FType; }
    // Total pulses fired so far (the shot counter before the diode lasers'
    // division by 100).
    quint64 Shots(qint64 nowMs);
    bool Firing(qint64 nowMs);

private:
    using THandler = std::optional<QByteArray> (TSimLaser::*)(const QByteArray& argument,
                                                              qint64 nowMs);
    struct TCommand {
        const char* Name;
        bool TakesArgument; // false: the command must match exactly
        bool NeedsRs232;    // answered "?2" unless serial control is on
        THandler Handler;
    };
    static const QList<TCommand>& Commands();

    // Settles what has ended by itself up to nowMs.
    void Advance(qint64 nowMs);
    TSimCondition Condition(qint64 nowMs) const;
    bool AnyInterlockOpen() const;
    bool Starting(qint64 nowMs) const;
    bool On(qint64 nowMs) const;
    bool OkToFire(qint64 nowMs) const;
    bool MotorsMoving(qint64 nowMs) const;
    int RateUnit() const { return FType == 5 ? 100 : 1; }
    int RateHz() const { return FRateUnits * RateUnit(); }
    int MaxBurst() const;
    bool HasDiodes() const { return FType == 5 || FType == 8; }
    quint64 PulsesSince(qint64 startMs, qint64 nowMs) const;
    // Stores a motorised position; the motors run only when it changes.
    void MoveTo(int& position, int target, qint64 nowMs);
    void StopFiring(qint64 nowMs);
    void SwitchOff(qint64 nowMs);

    // Command handlers (SimCommands.cpp).
    std::optional<QByteArray> CmdStatus(const QByteArray&, qint64 nowMs);
    std::optional<QByteArray> CmdShotCount(const QByteArray&, qint64 nowMs);
    std::optional<QByteArray> CmdVersion(const QByteArray&, qint64);
    std::optional<QByteArray> CmdType(const QByteArray&, qint64);
    std::optional<QByteArray> CmdMaxRate(const QByteArray&, qint64);
    std::optional<QByteArray> CmdTravelX(const QByteArray&, qint64);
    std::optional<QByteArray> CmdTravelY(const QByteArray&, qint64);
    std::optional<QByteArray> CmdHarmonicCount(const QByteArray&, qint64);
    std::optional<QByteArray> CmdHarmonic(const QByteArray& argument, qint64 nowMs);
    std::optional<QByteArray> CmdOptions(const QByteArray&, qint64);
    std::optional<QByteArray> CmdConfiguration(const QByteArray&, qint64);
    std::optional<QByteArray> CmdRegister(const QByteArray& argument, qint64);
    std::optional<QByteArray> CmdHours(const QByteArray&, qint64);
    std::optional<QByteArray> CmdFlow(const QByteArray&, qint64);
    std::optional<QByteArray> CmdTemperature(const QByteArray&, qint64);
    std::optional<QByteArray> CmdSerialOn(const QByteArray&, qint64);
    std::optional<QByteArray> CmdSerialOff(const QByteArray&, qint64);
    std::optional<QByteArray> CmdSupplyOn(const QByteArray&, qint64 nowMs);
    std::optional<QByteArray> CmdSupplyOff(const QByteArray&, qint64 nowMs);
    std::optional<QByteArray> CmdShutterOpen(const QByteArray&, qint64);
    std::optional<QByteArray> CmdShutterClose(const QByteArray&, qint64);
    std::optional<QByteArray> CmdGo(const QByteArray&, qint64 nowMs);
    std::optional<QByteArray> CmdStop(const QByteArray&, qint64 nowMs);
    std::optional<QByteArray> CmdMode(const QByteArray& argument, qint64);
    std::optional<QByteArray> CmdRate(const QByteArray& argument, qint64);
    std::optional<QByteArray> CmdBurst(const QByteArray& argument, qint64);
    std::optional<QByteArray> CmdBurst1(const QByteArray& argument, qint64);
    std::optional<QByteArray> CmdBurst2(const QByteArray& argument, qint64);
    std::optional<QByteArray> CmdAttenuator(const QByteArray& argument, qint64 nowMs);
    std::optional<QByteArray> CmdVoltage(const QByteArray& argument, qint64);
    std::optional<QByteArray> CmdDiode1(const QByteArray& argument, qint64);
    std::optional<QByteArray> CmdDiode2(const QByteArray& argument, qint64);
    std::optional<QByteArray> CmdRangeHigh(const QByteArray&, qint64);
    std::optional<QByteArray> CmdRangeLow(const QByteArray&, qint64);
    std::optional<QByteArray> CmdQSwitchOn(const QByteArray&, qint64);
    std::optional<QByteArray> CmdQSwitchOff(const QByteArray&, qint64);
    std::optional<QByteArray> CmdApertureX(const QByteArray& argument, qint64 nowMs);
    std::optional<QByteArray> CmdApertureY(const QByteArray& argument, qint64 nowMs);
    std::optional<QByteArray> CmdRotatePlus(const QByteArray& argument, qint64 nowMs);
    std::optional<QByteArray> CmdRotateMinus(const QByteArray& argument, qint64 nowMs);
    std::optional<QByteArray> CmdMarkerAperture(const QByteArray& argument, qint64 nowMs);
    std::optional<QByteArray> CmdMarkerQuery(const QByteArray&, qint64);
    std::optional<QByteArray> CmdMarkerSet(const QByteArray& argument, qint64);
    std::optional<QByteArray> CmdPulseQuery(const QByteArray&, qint64);
    std::optional<QByteArray> CmdPulseLong(const QByteArray&, qint64);
    std::optional<QByteArray> CmdPulseShort(const QByteArray&, qint64);
    std::optional<QByteArray> Rotate(int sign, const QByteArray& argument, qint64 nowMs);
    std::optional<QByteArray> Diode(int index, const QByteArray& argument);

    // Identity and options.
    int FType = 8;
    QByteArray FFirmware = "2.10";
    quint32 FServiceOptions = 0x3F; // "SV?": every option
    quint32 FConfiguration = 0x79;  // "LC?": bits 0, 3, 4, 5, 6
    QMap<int, quint32> FRegisters;  // "ER" reads; 0x0F90 = polarizer kind
    QList<quint32> FHarmonics;      // codes of sets 0..count
    int FMaxRateReply = 20;         // "MR?", in the type's rate units (x100 on type 8)
    int FTravelX = 255;
    int FTravelY = 255;

    // Read-outs.
    quint64 FShotsFired = 0; // pulses of finished firings
    quint64 FHours = 1234;
    int FFlow = 42;
    int FTemperature = 25;

    // Control state.
    bool FRs232 = false;
    bool FSupply = false;
    qint64 FSupplyOnAt = 0;
    int FStartTimeMs = 1000;
    bool FFlowOpen = false;
    bool FTempOpen = false;
    bool FExtOpen = false;
    bool FWorkOpen = false;
    bool FCoolantLow = false;
    bool FResetFault = false;
    bool FRunTempOk = true;
    bool FDiode1Fault = false;
    bool FDiode2Fault = false;
    bool FShutterOpen = false;
    bool FQSwitchDisabled = false;

    // Settings received.
    int FMode = 1;      // "MO": 0 continuous, 1 one shot, 2 burst
    int FRateUnits = 1; // "RR" argument
    int FBurst = 1;     // "BU" / "BU1"
    int FBurst2 = 1;    // "BU2"
    int FAttenuator = 0;
    int FVoltage = 255;
    int FDiode1 = 0;
    int FDiode2 = 0;
    bool FRangeHigh = false;
    int FApertureX = 0;
    int FApertureY = 0;
    int FRotation = 0; // signed "SR" position
    int FMarkerAperture = 0;
    int FMarkerLevel = 0;
    bool FLongPulse = false;
    int FHarmonic = 1; // selected set

    // Firing.
    bool FFiring = false;
    qint64 FFireStart = 0;
    quint64 FFirePulses = 0; // 0: continuous, until "ST"
    qint64 FFireEnd = 0;     // when a shot or burst ends by itself
    bool FFireBurst = false; // fired in burst mode
    qint64 FBurstLockUntil = 0;
    int FBurstLockMs = 1000;

    // Motors.
    qint64 FMotorsUntil = 0;
    qint64 FHomingUntil = 0; // homing (general layout bit 18) moves the motors too
    int FMotorTimeMs = 500;  // per move; negative: they never stop
    bool FMotorsStuck = false;
};

} // namespace lasersim
