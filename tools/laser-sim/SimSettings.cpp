// The control interface's "set NAME VALUE" and "get NAME" on the laser.

#include "SimLaser.h"

#include <algorithm>
#include <limits>

namespace lasersim {

namespace {

std::optional<qint64> Number(const QByteArray& text, qint64 min, qint64 max, int base = 10) {
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok, base);
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}

// 1/0, on/off, yes/no, true/false; for interlocks also open/closed (open = 1).
std::optional<bool> Flag(const QByteArray& text) {
    const QByteArray t = text.trimmed().toLower();
    if (t == "1" || t == "on" || t == "yes" || t == "true" || t == "open")
        return true;
    if (t == "0" || t == "off" || t == "no" || t == "false" || t == "closed")
        return false;
    return std::nullopt;
}

QByteArray Hex(quint64 value) {
    return QByteArray::number(value, 16).toUpper();
}

} // namespace

QByteArray TSimLaser::Set(const QByteArray& name, const QByteArray& value, qint64 nowMs) {
    Advance(nowMs);
    struct TIntSetting {
        const char* Name;
        int TSimLaser::*Field;
        qint64 Min;
        qint64 Max;
    };
    static const TIntSetting ints[] = {
        {"type", &TSimLaser::FType, 0, 255},
        {"maxrate", &TSimLaser::FMaxRateReply, 0, 999999},
        {"travel-x", &TSimLaser::FTravelX, 0, 99999},
        {"travel-y", &TSimLaser::FTravelY, 0, 99999},
        {"start-time", &TSimLaser::FStartTimeMs, 0, 3600000},
        {"burst-lock", &TSimLaser::FBurstLockMs, 0, 3600000},
        {"motor-time", &TSimLaser::FMotorTimeMs, -1, 3600000},
        {"flow", &TSimLaser::FFlow, -999999, 999999},
        {"temperature", &TSimLaser::FTemperature, -999999, 999999},
        {"marker", &TSimLaser::FMarkerLevel, 0, 200},
        {"mode", &TSimLaser::FMode, 0, 2},
        {"rate", &TSimLaser::FRateUnits, 1, 99999},
        {"burst", &TSimLaser::FBurst, 1, 99999},
    };
    for (const TIntSetting& s : ints) {
        if (name != s.Name)
            continue;
        const std::optional<qint64> n = Number(value, s.Min, s.Max);
        if (!n)
            return name + " needs a whole number " + QByteArray::number(s.Min) + ".." +
                   QByteArray::number(s.Max);
        this->*(s.Field) = static_cast<int>(*n);
        if (name == "motor-time" && *n >= 0)
            FMotorsStuck = false;
        return {};
    }

    struct TFlagSetting {
        const char* Name;
        bool TSimLaser::*Field;
    };
    static const TFlagSetting flags[] = {
        {"rs232", &TSimLaser::FRs232},           {"coolant-low", &TSimLaser::FCoolantLow},
        {"run-temp-ok", &TSimLaser::FRunTempOk}, {"shutter", &TSimLaser::FShutterOpen},
        {"pulse-mode", &TSimLaser::FLongPulse},  {"qswitch-disabled", &TSimLaser::FQSwitchDisabled},
    };
    for (const TFlagSetting& s : flags) {
        if (name != s.Name)
            continue;
        const std::optional<bool> b = Flag(value);
        if (!b)
            return name + " needs 1 or 0";
        this->*(s.Field) = *b;
        return {};
    }

    if (name == "firmware") {
        // Any text, so that an unreadable version can be tried too.
        if (value.trimmed().isEmpty() || value.contains(' '))
            return "firmware needs a version such as 2.10 (no spaces)";
        FFirmware = value.trimmed();
        return {};
    }
    if (name == "options" || name == "config") {
        const std::optional<qint64> n = Number(value, 0, 0xFFFF, 16);
        if (!n)
            return name + " needs a hexadecimal word";
        (name == "options" ? FServiceOptions : FConfiguration) = static_cast<quint32>(*n);
        return {};
    }
    if (name == "register" || name == "polarizer") {
        QList<QByteArray> words = value.simplified().split(' ');
        if (name == "polarizer")
            words.prepend("0F90");
        const std::optional<qint64> address = Number(words.value(0), 0, 0xFFFF, 16);
        const std::optional<qint64> content = Number(words.value(1), 0, 0xFFFF, 16);
        if (words.size() != 2 || !address || !content)
            return name == "polarizer" ? QByteArray("polarizer needs a kind, 0 or 1")
                                       : QByteArray("register needs ADDRESS VALUE, both hex");
        FRegisters.insert(static_cast<int>(*address), static_cast<quint32>(*content));
        return {};
    }
    if (name == "harmonics") {
        QList<quint32> codes;
        for (const QByteArray& word : value.split(',')) {
            const std::optional<qint64> code = Number(word, 0, 0xFF, 16);
            if (!code)
                return "harmonics needs hex codes separated by commas, set 0 first";
            codes.append(static_cast<quint32>(*code));
        }
        FHarmonics = codes;
        FHarmonic = std::min<int>(FHarmonic, static_cast<int>(codes.size()) - 1);
        return {};
    }
    if (name == "interlock") {
        const QList<QByteArray> words = value.simplified().toLower().split(' ');
        const std::optional<bool> open = Flag(words.value(1));
        bool* field = nullptr;
        if (words.value(0) == "flow")
            field = &FFlowOpen;
        else if (words.value(0) == "temp")
            field = &FTempOpen;
        else if (words.value(0) == "ext")
            field = &FExtOpen;
        else if (words.value(0) == "work")
            field = &FWorkOpen;
        if (field == nullptr || !open || words.size() != 2)
            return "interlock needs flow|temp|ext|work and open|closed (1|0)";
        *field = *open;
        if (*open)
            SwitchOff(nowMs); // an open interlock drops the supply
        return {};
    }
    if (name == "reset-fault") {
        const std::optional<bool> b = Flag(value);
        if (!b)
            return "reset-fault needs 1 or 0";
        FResetFault = *b;
        if (*b)
            SwitchOff(nowMs);
        return {};
    }
    if (name == "diode-fault") {
        const QList<QByteArray> words = value.simplified().split(' ');
        const std::optional<bool> b = Flag(words.value(1));
        if (words.size() != 2 || !b || (words[0] != "1" && words[0] != "2"))
            return "diode-fault needs 1|2 and 1|0";
        (words[0] == "1" ? FDiode1Fault : FDiode2Fault) = *b;
        return {};
    }
    if (name == "supply") {
        const std::optional<bool> b = Flag(value);
        if (!b)
            return "supply needs 1 or 0";
        if (!*b) {
            SwitchOff(nowMs);
        } else if (AnyInterlockOpen() || FResetFault) {
            return "supply cannot go on with an interlock open or a reset fault";
        } else if (!FSupply) {
            FSupply = true;
            FSupplyOnAt = nowMs;
        }
        return {};
    }
    if (name == "moving") {
        const std::optional<qint64> ms = Number(value, -1, 3600000);
        if (!ms)
            return "moving needs milliseconds (0 stops, -1 never stops)";
        FMotorsStuck = *ms < 0;
        FMotorsUntil = *ms < 0 ? 0 : nowMs + *ms;
        return {};
    }
    if (name == "homing") {
        const std::optional<qint64> ms = Number(value, 0, 3600000);
        if (!ms)
            return "homing needs milliseconds";
        FHomingUntil = nowMs + *ms;
        return {};
    }
    if (name == "shots" || name == "hours") {
        const std::optional<qint64> n = Number(value, 0, std::numeric_limits<qint64>::max());
        if (!n)
            return name + " needs a whole number";
        if (name == "hours") {
            FHours = static_cast<quint64>(*n);
        } else {
            StopFiring(nowMs);
            FShotsFired = static_cast<quint64>(*n);
        }
        return {};
    }
    return "unknown name '" + name + "'";
}

std::optional<QByteArray> TSimLaser::Get(const QByteArray& name, qint64 nowMs) {
    Advance(nowMs);
    const auto n = [](qint64 v) { return QByteArray::number(v); };
    const QList<std::pair<QByteArray, QByteArray>> values = {
        {"type", n(FType)},
        {"firmware", FFirmware},
        {"options", Hex(FServiceOptions)},
        {"config", Hex(FConfiguration)},
        {"polarizer", Hex(FRegisters.value(0x0F90))},
        {"harmonics",
         [this] {
             QByteArrayList codes;
             for (quint32 code : FHarmonics)
                 codes.append(Hex(code).rightJustified(2, '0'));
             return codes.join(',');
         }()},
        {"maxrate", n(FMaxRateReply)},
        {"travel-x", n(FTravelX)},
        {"travel-y", n(FTravelY)},
        {"status", Hex(RawStatus(nowMs)).rightJustified(6, '0')},
        {"rs232", n(FRs232)},
        {"supply", n(FSupply)},
        {"starting", n(Starting(nowMs))},
        {"firing", n(FFiring)},
        {"moving", n(MotorsMoving(nowMs))},
        {"shots", n(static_cast<qint64>(Shots(nowMs)))},
        {"hours", n(static_cast<qint64>(FHours))},
        {"flow", n(FFlow)},
        {"temperature", n(FTemperature)},
        {"interlocks", QByteArray("flow=") + (FFlowOpen ? "open" : "closed") +
                           ",temp=" + (FTempOpen ? "open" : "closed") +
                           ",ext=" + (FExtOpen ? "open" : "closed") +
                           ",work=" + (FWorkOpen ? "open" : "closed")},
        {"coolant-low", n(FCoolantLow)},
        {"reset-fault", n(FResetFault)},
        {"run-temp-ok", n(FRunTempOk)},
        {"shutter", n(FShutterOpen)},
        {"mode", n(FMode)},
        {"rate", n(FRateUnits)},
        {"burst", n(FBurst)},
        {"burst2", n(FBurst2)},
        {"attenuator", n(FAttenuator)},
        {"voltage", n(FVoltage)},
        {"diodes", n(FDiode1) + "," + n(FDiode2)},
        {"range", FRangeHigh ? QByteArray("high") : QByteArray("low")},
        {"qswitch-disabled", n(FQSwitchDisabled)},
        {"aperture", n(FApertureX) + "," + n(FApertureY)},
        {"rotation", n(FRotation)},
        {"marker-aperture", n(FMarkerAperture)},
        {"marker", n(FMarkerLevel)},
        {"pulse-mode", n(FLongPulse)},
        {"harmonic", n(FHarmonic)},
        {"motor-time", n(FMotorTimeMs)},
        {"start-time", n(FStartTimeMs)},
        {"burst-lock", n(FBurstLockMs)},
    };
    if (name == "all") {
        QByteArrayList all;
        for (const auto& [key, value] : values)
            all.append(key + "=" + value);
        return all.join(' ');
    }
    for (const auto& [key, value] : values) {
        if (key == name)
            return value;
    }
    return std::nullopt;
}

} // namespace lasersim
