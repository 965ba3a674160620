// The status poll, fire permission and the status-bar read-outs.
#include "laser/CVLaser.h"

#include "laser/Conversions.h"

TLaserStatus TCVLaser::GetStatus() {
    if (!DoCommand(QByteArrayLiteral("SS"), true))
        return 0;
    quint32 raw = 0;
    try {
        raw = ParseHex32(FReply);
    } catch (const EConvertError&) {
        ThrowError(leInvalidResponse);
    }
    const TLaserStatus derived = DeriveStatus(raw, FStatusTable, FLaserType, FFirmwareVersion);
    FRawStatus = raw;
    // After a reset fault the laser has forgotten its settings: the next
    // switch-on identifies it again.
    if (derived & lsReset)
        FIdentified = false;
    FStatus = derived;
    return derived;
}

bool TCVLaser::CanFire(TLaserStatus status) {
    return CanFireWith(status, GetLaserType(), FRawStatus);
}

bool TCVLaser::LaserEnabled() {
    return (GetStatus() & (lsOn | lsStart)) != 0;
}

float TCVLaser::GetShotCount() {
    if (!FIdentified)
        return -1.0f;
    DoCommand(QByteArrayLiteral("SC"), true);
    quint64 shots = 0;
    try {
        shots = ParseHex64(FReply);
    } catch (const EConvertError&) {
        ThrowError(leInvalidResponse);
    }
    float count = static_cast<float>(shots);
    // Diode-pumped lasers count hundreds of shots.
    if (GetDiodeCount() > 0)
        count *= 100.0f;
    return count;
}

int TCVLaser::GetHours() {
    return QueryHex(QByteArrayLiteral("HR?"), -1);
}

int TCVLaser::GetFlow() {
    return QueryDecimal(QByteArrayLiteral("FR?"), -1);
}

int TCVLaser::GetTemperature() {
    return QueryDecimal(QByteArrayLiteral("T1?"), -1);
}
