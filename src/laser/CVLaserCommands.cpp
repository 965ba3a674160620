// The command set: the one transaction every command passes through, the
// number queries, the property setters and the composite operations.
#include "laser/CVLaser.h"

#include "comm/GenericController.h"
#include "laser/BusyScope.h"
#include "laser/Conversions.h"

#include <algorithm>
#include <limits>

namespace {
const QByteArray Prefix = QByteArrayLiteral(";LA");
}

bool TCVLaser::DoCommand(const QByteArray& command, bool expectReply) {
    FReply.clear();
    if (!FActive)
        return false;
    if (FGivenUp)
        ThrowError(leNoResponse);
    const TBusyScope busy(FBusyDepth);
    if (!FConnected)
        OpenPort(FPortNumber);
    const bool ok = FController->Transact(Prefix, command, expectReply, FReply);
    if (expectReply) {
        // The error reply stays in FReply so that a caller who catches the
        // error can still pass the raw "?n" on.
        if (IsErrorReply(FReply))
            ThrowError(ErrorReplyCode(FReply));
        if (FReply.isEmpty())
            ThrowError(leNoResponse);
    }
    return ok;
}

QByteArray TCVLaser::SendCommand(const QByteArray& command, bool expectReply) {
    DoCommand(command, expectReply);
    if (command.size() == 3 && command.startsWith("MO") && command[2] >= '0' && command[2] <= '2')
        FFireMode = TFireMode(command[2] - '0');
    return FReply;
}

int TCVLaser::QueryDecimal(const QByteArray& command, int fallback) {
    try {
        if (DoCommand(command, true))
            return ParseDecimal(FReply);
    } catch (...) {
    }
    return fallback;
}

int TCVLaser::QueryHex(const QByteArray& command, int fallback) {
    try {
        if (DoCommand(command, true)) {
            const quint32 value = ParseHex32(FReply);
            if (value <= quint32(std::numeric_limits<int>::max()))
                return static_cast<int>(value);
        }
    } catch (...) {
    }
    return fallback;
}

quint8 TCVLaser::GetLaserType() {
    if (!FIdentified) {
        int type = 0;
        if (DoCommand(QByteArrayLiteral("LT?"), true) || !FReply.isEmpty()) {
            type = ParseDecimal(FReply);
            // A byte on the wire; anything else is not a laser type.
            if (type < 0 || type > 255)
                throw EConvertError(FReply);
        }
        FLaserType = static_cast<quint8>(type);
    }
    FRepRateUnit = lasermodel::RepRateUnit(FLaserType);
    return FLaserType;
}

void TCVLaser::WaitForMotors(int timeoutMs) {
    if (!FNewFirmware)
        return;
    const std::int64_t deadline = FTiming.Now() + timeoutMs;
    for (;;) {
        Pause(MotorPollInterval);
        if (DoCommand(QByteArrayLiteral("SS"), true)) {
            quint32 raw = 0;
            try {
                raw = ParseHex32(FReply);
            } catch (const EConvertError&) {
                ThrowError(leInvalidResponse);
            }
            if (!(raw & RawMotorMoving))
                return;
        }
        if (FTiming.Now() > deadline)
            ThrowError(leTimedOut);
    }
}

// ---- Property setters ------------------------------------------------------

void TCVLaser::SetBurstCount(int pulses) {
    FBurstCount = pulses;
    if (pulses > FMaxBurstCount)
        FBurstCount = FMaxBurstCount;
    else if (pulses < 1)
        FBurstCount = 1;
    if (FLaserType == 8) {
        DoCommand(WithDecimal("BU1", FBurstCount, 5), true);
        DoCommand(WithDecimal("BU2", FBurstCount, 5), true);
    } else {
        DoCommand(WithDecimal("BU", FBurstCount, 5), true);
    }
}

void TCVLaser::SetRepRate(int hz) {
    FRepRate = hz;
    if (hz > FMaxRepRate)
        FRepRate = FMaxRepRate;
    else if (hz < FMinRepRate)
        FRepRate = FMinRepRate;
    const int units = FRepRate / FRepRateUnit;
    DoCommand(WithDecimal("RR", units, FLaserType == 8 ? 5 : 3), true);
}

void TCVLaser::SetFireMode(TFireMode mode) {
    DoCommand(WithDecimal("MO", mode), true);
    FFireMode = mode;
    // These lasers fire bursts at a fixed 5 Hz; the rate is only recorded.
    if (lasermodel::IsFamilyA(FLaserType))
        FRepRate = mode == fmBurst ? 5 : 1;
}

void TCVLaser::SetOutputLevel(float percent) {
    if (!HasOption(loAttenuator))
        return;
    FOutputLevel = ClampValue(percent, 0.0f, 100.0f);
    DoCommand(WithDecimal("AT", FromPercent(255, FOutputLevel), 3), true);
    WaitForMotors(MotorMoveTimeout);
}

void TCVLaser::SetPFNVoltage(float percent) {
    const int type = GetLaserType();
    if (lasermodel::IsFamilyA(type))
        return;
    FPFNVoltage = ClampValue(percent, 0.0f, 100.0f);
    if (type == 5 || type == 8) {
        SetDiodeCurrent(0, FPFNVoltage);
        return;
    }
    if (!HasOption(loVariableVoltage) && FPFNVoltage != 100.0f)
        FPFNVoltage = 100.0f;
    DoCommand(WithDecimal("VO", FromPercent(255, FPFNVoltage), 3), true);
}

void TCVLaser::SetDiodeCurrent(int index, float percent) {
    int scale = 0;
    if (FLaserType == 5)
        scale = 100;
    else if (FLaserType == 8)
        scale = 255;
    else
        return;
    const float q = ClampValue(percent, 0.0f, 100.0f);
    const int raw = FromPercent(scale, q);
    if (index == 0 || index == 1) {
        DoCommand(WithDecimal("DC1", raw, 3), true);
        FDiode1Current = q;
    }
    if (FLaserType == 8 && (index == 0 || index == 2)) {
        DoCommand(WithDecimal("DC2", raw, 3), true);
        FDiode2Current = q;
    }
}

void TCVLaser::SetOutputRange(TOutputRange range) {
    FOutputRange = range;
    if (lasermodel::IsFamilyA(FLaserType)) {
        const bool high = HasOption(loHarmonicSets) || range == erHigh;
        DoCommand(high ? QByteArrayLiteral("ENH") : QByteArrayLiteral("ENL"), true);
    }
    SelectHarmonic(FWavelength, range);
}

void TCVLaser::SetWavelength(TWavelength wavelength) {
    FWavelength = wavelength;
    SelectHarmonic(wavelength, FOutputRange);
}

void TCVLaser::SetQSwitchEnabled(bool enabled) {
    DoCommand(enabled ? QByteArrayLiteral("QD0") : QByteArrayLiteral("QD1"), true);
    FQSwitchEnabled = enabled;
}

float TCVLaser::ApertureWidth() const {
    return ToPercent(FApertureX, FApertureXSteps);
}

float TCVLaser::ApertureHeight() const {
    return ToPercent(FApertureY, FApertureYSteps);
}

void TCVLaser::SetApertureWidth(float percent) {
    if (!HasOption(loApertureWidth))
        return;
    MoveApertureX(FromPercent(FApertureXSteps, ClampValue(percent, 0.0f, 100.0f)));
}

void TCVLaser::SetApertureHeight(float percent) {
    if (!HasOption(loApertureHeight))
        return;
    MoveApertureY(FromPercent(FApertureYSteps, ClampValue(percent, 0.0f, 100.0f)));
}

namespace {
// The last step of a blade is travel - 1; a blade without travel stays at 0.
int BladeStep(int steps, int travel) {
    if (steps >= travel)
        steps = travel - 1;
    return steps < 0 ? 0 : steps;
}
} // namespace

void TCVLaser::MoveApertureX(int steps) {
    if (!HasOption(loApertureWidth))
        return;
    const int s = BladeStep(steps, FApertureXSteps);
    if (DoCommand(WithDecimal("XS", s, 3), true)) {
        WaitForMotors(MotorMoveTimeout);
        FApertureX = s;
    }
}

void TCVLaser::MoveApertureY(int steps) {
    if (!HasOption(loApertureHeight))
        return;
    const int s = BladeStep(steps, FApertureYSteps);
    if (DoCommand(WithDecimal("YS", s, 3), true)) {
        WaitForMotors(MotorMoveTimeout);
        FApertureY = s;
    }
}

void TCVLaser::SetXYTheta(int theta) {
    if (!HasOption(loXYTheta))
        return;
    // Widened first: the magnitude of the most negative int does not fit an int.
    const qint64 t = theta;
    if (t < 0)
        DoCommand(WithDecimal("SR-", -t, 2), true);
    else
        DoCommand(WithDecimal("SR+", t, 2), true);
    WaitForMotors(MotorMoveTimeout);
    FXYTheta = theta;
}

void TCVLaser::SetPolarizerAngle(int degrees) {
    if (!HasOption(loPolarizer))
        return;
    const int v = static_cast<int>(ClampValue(static_cast<float>(degrees), 0.0f, 180.0f));
    const int half = v / 2; // the stage turns in steps of two degrees
    DoCommand(WithDecimal("SR+", half, 2), true);
    WaitForMotors(MotorMoveTimeout);
    FPolarizerAngle = 2 * half;
}

void TCVLaser::SetMarkerApertureIndex(int index) {
    if (!HasOption(loMarkerAperture))
        return;
    DoCommand(WithDecimal("MS", index), true);
    WaitForMotors(MotorMoveTimeout);
    FMarkerApertureIndex = index;
}

int TCVLaser::GetMarkerSetting() {
    if (!FIdentified)
        FMarkerSetting = QueryDecimal(QByteArrayLiteral("SP?"), -1);
    return FMarkerSetting;
}

void TCVLaser::SetMarkerSetting(int level) {
    // Only the top is limited: a negative level goes out as it is, for the
    // laser to refuse, rather than becoming 0 and switching the illuminator off.
    if (level > 200)
        level = 200;
    try {
        DoCommand(WithDecimal("SP", level, 3), true);
        FMarkerSetting = level;
    } catch (...) {
    }
}

float TCVLaser::MarkerLevel() {
    return ToPercent(GetMarkerSetting(), 200);
}

void TCVLaser::SetMarkerLevel(float percent) {
    SetMarkerSetting(FromPercent(200, percent));
}

bool TCVLaser::MarkerOn() {
    return GetMarkerSetting() > 0;
}

void TCVLaser::SetMarkerOn(bool on) {
    SetMarkerSetting(on ? 255 : 0);
}

bool TCVLaser::GetLongPulse() {
    if (!FIdentified)
        FLongPulse = QueryDecimal(QByteArrayLiteral("PM?"), -1) == 1;
    return FLongPulse;
}

void TCVLaser::SetLongPulse(bool longPulse) {
    FLongPulse = longPulse;
    DoCommand(longPulse ? QByteArrayLiteral("PM1") : QByteArrayLiteral("PM0"), true);
}

int TCVLaser::GetApertureXSteps() {
    if (!FIdentified)
        FApertureXSteps = QueryDecimal(QByteArrayLiteral("XT?"), 255);
    return FApertureXSteps;
}

int TCVLaser::GetApertureYSteps() {
    if (!FIdentified)
        FApertureYSteps = QueryDecimal(QByteArrayLiteral("YT?"), 255);
    return FApertureYSteps;
}

// ---- Composite operations --------------------------------------------------

void TCVLaser::StartFiring() {
    // Types 5 and 8 keep a shutter of their own in front of the beam.
    if (lasermodel::HasShutter(GetLaserType()))
        DoCommand(QByteArrayLiteral("SH1"), true);
    DoCommand(QByteArrayLiteral("GO"), true);
}

void TCVLaser::StopFiring() {
    DoCommand(QByteArrayLiteral("ST"), true);
}

void TCVLaser::SelectHarmonic(TWavelength wavelength, TOutputRange range) {
    if (!HasOption(loHarmonicSets) || FHarmonicCount <= 0)
        return;
    const int last = std::min<int>(FHarmonicCount, int(FHarmonics.size()) - 1);
    for (int n = 1; n <= last; ++n) {
        const THarmonicEntry& entry = FHarmonics[n];
        if (entry.Wavelength != wavelength || entry.Range != range)
            continue;
        if (n == FCurrentHarmonic)
            return;
        DoCommand(WithDecimal("HS", n), true);
        WaitForMotors(MotorMoveTimeout);
        FCurrentHarmonic = n;
        return;
    }
}
