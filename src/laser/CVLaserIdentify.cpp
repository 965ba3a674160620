// Finding, identifying and initialising the laser; switching its supply.
#include "laser/CVLaser.h"

#include "comm/ConnectionManager.h"
#include "laser/Conversions.h"

#include <limits>
#include <stdexcept>

namespace {

// The largest harmonic-set count taken seriously; a laser has a handful.
constexpr int MaxHarmonicSets = 255;

quint32 PresentSlots() {
    TConnectionManager* manager = ConnectionManager();
    return manager ? manager->AvailablePorts() & 0x1FFFEu : 0u;
}

} // namespace

bool TCVLaser::FindLaser() {
    FActive = true;
    // One port of the scan; only an old firmware ends the whole scan.
    const auto tryPort = [this](int port) {
        try {
            SetPortNumber(port);
            return Initialize();
        } catch (const ELaserError& e) {
            if (e.ErrorCode() == leFirmwareTooOld)
                throw;
        } catch (...) {
        }
        return false;
    };
    if (!FNetworkConnection.isEmpty() && PresentSlots() == 0) {
        // Without any serial port the relay is still reachable through slot 1.
        tryPort(1);
        return FIdentified;
    }
    for (int port = 1; port <= 16; ++port) {
        if (!(PresentSlots() & (1u << port)))
            continue;
        if (tryPort(port))
            break;
    }
    return FIdentified;
}

bool TCVLaser::Initialize() {
    FGivenUp = false;
    FCurrentHarmonic = -1;
    FIdentified = false;
    FLaserType = 0;
    FActive = true;
    if (!FConnected) {
        if (FPortNumber <= 0)
            FPortNumber = 0;
        OpenPort(FPortNumber);
    }
    if (!DoCommand(QByteArrayLiteral("SM1"), true)) {
        Disconnect();
        return false;
    }

    DoCommand(QByteArrayLiteral("VN"), true);
    try {
        FFirmwareVersion = ParseFraction(FReply);
    } catch (const EConvertError&) {
        ThrowError(leInvalidResponse);
    }
    FLaserType = GetLaserType();
    FNewFirmware = FFirmwareVersion >= 2.0f;

    // Motors may still be homing after the laser was switched to serial control.
    WaitForMotors(InitMotorTimeout1);
    Pause(InitPause);
    WaitForMotors(InitMotorTimeout2);

    if (DoCommand(QByteArrayLiteral("MR?"), true)) {
        qint64 maxRate = qint64(ParseDecimal(FReply)) * FRepRateUnit;
        if (FLaserType == 8)
            maxRate *= 100;
        if (maxRate > std::numeric_limits<int>::max() || maxRate < std::numeric_limits<int>::min())
            throw std::overflow_error("Maximum repetition rate out of range: " +
                                      FReply.toStdString());
        FMaxRepRate = static_cast<int>(maxRate);
    }
    GetApertureXSteps();
    GetApertureYSteps();
    FMinRepRate = FRepRateUnit;

    if (lasermodel::NeedsFirmware12(FLaserType) && FFirmwareVersion < 1.2f)
        ThrowError(leFirmwareTooOld);

    ReadOptions();
    FMaxBurstCount = lasermodel::MaxBurstCount(FLaserType);
    ReadHarmonicSets();
    PushSettings();

    FStatusTable = StatusTableOf(StatusFamilyOfType(FLaserType));
    FIdentified = true;
    return true;
}

void TCVLaser::ReadHarmonicSets() {
    FWavelengths = 0;
    FHarmonicCount = 0;
    FHarmonics.clear();
    if (DoCommand(QByteArrayLiteral("NH?"), true)) {
        // -1 is a laser without harmonic sets: no entry, no set queried.
        const int count = ParseDecimal(FReply);
        if (count < -1 || count > MaxHarmonicSets)
            throw EConvertError(FReply);
        FHarmonicCount = count;
        FHarmonics.resize(count + 1);
        for (int n = 0; n <= count; ++n) {
            DoCommand(WithDecimal("HS", n) + '?', true);
            const quint32 code = ParseHex32(FReply);
            THarmonicEntry& entry = FHarmonics[n];
            DecodeHarmonicCode(code, entry);
            if (entry.Valid == 1 && entry.Wavelength <= 7)
                FWavelengths |= quint8(1u << entry.Wavelength);
        }
    }
    // Green is what most work is done with; fall back to IR, then UV.
    if (FWavelengths & (1u << wlGreen))
        FWavelength = wlGreen;
    else if (FWavelengths & (1u << wlIR))
        FWavelength = wlIR;
    else if (FWavelengths & (1u << wlUV))
        FWavelength = wlUV;
}

void TCVLaser::PushSettings() {
    SetBurstCount(FBurstCount);
    SetRepRate(FRepRate);
    SetFireMode(FFireMode);
    SetOutputRange(FOutputRange);
    SetWavelength(FWavelength);
    SetPFNVoltage(FPFNVoltage);
    if (HasOption(loApertureWidth))
        SetApertureWidth(0.0f);
    if (HasOption(loApertureHeight))
        SetApertureHeight(0.0f);
    if (HasOption(loMarkerAperture))
        SetMarkerApertureIndex(FMarkerApertureIndex);
    if (HasOption(loXYTheta))
        SetXYTheta(FXYTheta);
}

TLaserOptions TCVLaser::ReadOptions() {
    FOptions = 0;
    FPolarizerKind = 0;
    const int sv = QueryHex(QByteArrayLiteral("SV?"), -1);
    const int lc = QueryHex(QByteArrayLiteral("LC?"), -1);
    if (DoCommand(WithHex("ER", PolarizerRegister, 4), true)) {
        const quint32 kind = ParseHex32(FReply);
        if (kind <= 1)
            FPolarizerKind = static_cast<quint8>(kind);
    }
    FOptions = BuildOptions(sv, lc, FPolarizerKind, FLaserType);
    return FOptions;
}

QString TCVLaser::GetFirmwareVersion() {
    DoCommand(QByteArrayLiteral("VN"), true);
    return QString::fromLatin1(FReply);
}

void TCVLaser::SetLaserEnabled(bool on) {
    if (FActive && !FIdentified)
        Initialize();
    if (FIdentified)
        DoCommand(on ? QByteArrayLiteral("ON") : QByteArrayLiteral("OF"), true);
}
