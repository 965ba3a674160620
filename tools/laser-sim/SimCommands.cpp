// The laser's command table and its answers. Conventions of the replies:
// queries answer their value; commands that change something answer "ok";
// error replies are "?0" unknown command, "?1" bad parameter, "?2" not under
// serial control, "?3" not possible now, "?4" option not installed.

#include "SimLaser.h"

#include <algorithm>

namespace lasersim {

namespace {

const QByteArray Ok = "ok";
const QByteArray UnknownCommand = "?0";
const QByteArray BadParameter = "?1";
const QByteArray NotRs232 = "?2";
const QByteArray NotNow = "?3";
const QByteArray NoOption = "?4";

// Service-options bits ("SV?") and configuration bits ("LC?").
constexpr quint32 SvAttenuator = 0x01;
constexpr quint32 SvApertureWidth = 0x02;
constexpr quint32 SvApertureHeight = 0x04;
constexpr quint32 SvHarmonicSets = 0x08;
constexpr quint32 SvMarkerAperture = 0x10;
constexpr quint32 SvRotation = 0x20;
constexpr quint32 LcLed = 0x10;
constexpr quint32 LcPulseWidth = 0x40;

// A decimal argument of at least minDigits digits and nothing else (the
// laser's firmware reads fixed-width fields; a shorter one is a bad parameter).
std::optional<int> Digits(const QByteArray& text, int minDigits) {
    if (text.size() < minDigits || text.size() > 9)
        return std::nullopt;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    return text.toInt();
}

QByteArray Hex(quint64 value) {
    return QByteArray::number(value, 16).toUpper();
}

bool IsFamilyA(int type) {
    return LayoutOfType(type) == TSimLayout::A;
}

} // namespace

const QList<TSimLaser::TCommand>& TSimLaser::Commands() {
    // Exact commands are looked up first, then the longest matching prefix
    // among the commands that take an argument.
    static const QList<TCommand> table = {
        {"SS", false, false, &TSimLaser::CmdStatus},
        {"SC", false, false, &TSimLaser::CmdShotCount},
        {"VN", false, false, &TSimLaser::CmdVersion},
        {"LT?", false, false, &TSimLaser::CmdType},
        {"MR?", false, false, &TSimLaser::CmdMaxRate},
        {"XT?", false, false, &TSimLaser::CmdTravelX},
        {"YT?", false, false, &TSimLaser::CmdTravelY},
        {"NH?", false, false, &TSimLaser::CmdHarmonicCount},
        {"SV?", false, false, &TSimLaser::CmdOptions},
        {"LC?", false, false, &TSimLaser::CmdConfiguration},
        {"HR?", false, false, &TSimLaser::CmdHours},
        {"FR?", false, false, &TSimLaser::CmdFlow},
        {"T1?", false, false, &TSimLaser::CmdTemperature},
        {"SP?", false, false, &TSimLaser::CmdMarkerQuery},
        {"PM?", false, false, &TSimLaser::CmdPulseQuery},
        {"SM1", false, false, &TSimLaser::CmdSerialOn},
        {"SM0", false, false, &TSimLaser::CmdSerialOff},
        {"ON", false, true, &TSimLaser::CmdSupplyOn},
        {"OF", false, false, &TSimLaser::CmdSupplyOff},
        {"SH1", false, true, &TSimLaser::CmdShutterOpen},
        {"SH0", false, true, &TSimLaser::CmdShutterClose},
        {"GO", false, true, &TSimLaser::CmdGo},
        {"ST", false, false, &TSimLaser::CmdStop},
        {"ENH", false, true, &TSimLaser::CmdRangeHigh},
        {"ENL", false, true, &TSimLaser::CmdRangeLow},
        {"QD0", false, true, &TSimLaser::CmdQSwitchOn},
        {"QD1", false, true, &TSimLaser::CmdQSwitchOff},
        {"PM1", false, true, &TSimLaser::CmdPulseLong},
        {"PM0", false, true, &TSimLaser::CmdPulseShort},
        {"HS", true, false, &TSimLaser::CmdHarmonic}, // "HSn?" query, "HSn" select
        {"ER", true, false, &TSimLaser::CmdRegister},
        {"MO", true, true, &TSimLaser::CmdMode},
        {"RR", true, true, &TSimLaser::CmdRate},
        {"BU", true, true, &TSimLaser::CmdBurst},
        {"BU1", true, true, &TSimLaser::CmdBurst1},
        {"BU2", true, true, &TSimLaser::CmdBurst2},
        {"AT", true, true, &TSimLaser::CmdAttenuator},
        {"VO", true, true, &TSimLaser::CmdVoltage},
        {"DC1", true, true, &TSimLaser::CmdDiode1},
        {"DC2", true, true, &TSimLaser::CmdDiode2},
        {"XS", true, true, &TSimLaser::CmdApertureX},
        {"YS", true, true, &TSimLaser::CmdApertureY},
        {"SR+", true, true, &TSimLaser::CmdRotatePlus},
        {"SR-", true, true, &TSimLaser::CmdRotateMinus},
        {"MS", true, true, &TSimLaser::CmdMarkerAperture},
        {"SP", true, true, &TSimLaser::CmdMarkerSet},
    };
    return table;
}

std::optional<QByteArray> TSimLaser::Handle(const QByteArray& command, qint64 nowMs) {
    Advance(nowMs);
    const TCommand* found = nullptr;
    for (const TCommand& entry : Commands()) {
        if (!entry.TakesArgument && command == entry.Name) {
            found = &entry;
            break;
        }
    }
    if (found == nullptr) {
        qsizetype best = 0;
        for (const TCommand& entry : Commands()) {
            const qsizetype length = qstrlen(entry.Name);
            if (entry.TakesArgument && command.startsWith(entry.Name) && length > best) {
                found = &entry;
                best = length;
            }
        }
    }
    if (found == nullptr)
        return UnknownCommand;
    if (found->NeedsRs232 && !FRs232)
        return NotRs232;
    const QByteArray argument = command.mid(qstrlen(found->Name));
    return (this->*(found->Handler))(argument, nowMs);
}

// --- Queries ---------------------------------------------------------------

std::optional<QByteArray> TSimLaser::CmdStatus(const QByteArray&, qint64 nowMs) {
    return Hex(RawStatus(nowMs)).rightJustified(6, '0');
}

std::optional<QByteArray> TSimLaser::CmdShotCount(const QByteArray&, qint64 nowMs) {
    // Diode lasers count in hundreds of pulses; the program multiplies back.
    const quint64 shots = Shots(nowMs);
    return Hex(HasDiodes() ? shots / 100u : shots);
}

std::optional<QByteArray> TSimLaser::CmdVersion(const QByteArray&, qint64) {
    return FFirmware;
}

std::optional<QByteArray> TSimLaser::CmdType(const QByteArray&, qint64) {
    return QByteArray::number(FType);
}

std::optional<QByteArray> TSimLaser::CmdMaxRate(const QByteArray&, qint64) {
    return QByteArray::number(FMaxRateReply);
}

std::optional<QByteArray> TSimLaser::CmdTravelX(const QByteArray&, qint64) {
    if (!(FServiceOptions & SvApertureWidth))
        return NoOption;
    return QByteArray::number(FTravelX);
}

std::optional<QByteArray> TSimLaser::CmdTravelY(const QByteArray&, qint64) {
    if (!(FServiceOptions & SvApertureHeight))
        return NoOption;
    return QByteArray::number(FTravelY);
}

std::optional<QByteArray> TSimLaser::CmdHarmonicCount(const QByteArray&, qint64) {
    // Set 0 is always described; the count is that of the selectable sets.
    return QByteArray::number(std::max<qsizetype>(0, FHarmonics.size() - 1));
}

std::optional<QByteArray> TSimLaser::CmdHarmonic(const QByteArray& argument, qint64 nowMs) {
    const bool query = argument.endsWith('?');
    const std::optional<int> n = Digits(query ? argument.chopped(1) : argument, 1);
    if (!n)
        return BadParameter;
    if (query) {
        if (*n >= FHarmonics.size())
            return BadParameter;
        return Hex(FHarmonics.at(*n)).rightJustified(2, '0');
    }
    if (!FRs232)
        return NotRs232;
    if (!(FServiceOptions & SvHarmonicSets))
        return NoOption;
    if (*n < 1 || *n >= FHarmonics.size())
        return BadParameter;
    MoveTo(FHarmonic, *n, nowMs);
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdOptions(const QByteArray&, qint64) {
    return Hex(FServiceOptions).rightJustified(2, '0');
}

std::optional<QByteArray> TSimLaser::CmdConfiguration(const QByteArray&, qint64) {
    return Hex(FConfiguration).rightJustified(2, '0');
}

std::optional<QByteArray> TSimLaser::CmdRegister(const QByteArray& argument, qint64) {
    bool ok = false;
    const int address = argument.toInt(&ok, 16);
    if (argument.size() < 4 || !ok || address < 0 || address > 0xFFFF)
        return BadParameter;
    return Hex(FRegisters.value(address, 0)).rightJustified(4, '0');
}

std::optional<QByteArray> TSimLaser::CmdHours(const QByteArray&, qint64) {
    return Hex(FHours);
}

std::optional<QByteArray> TSimLaser::CmdFlow(const QByteArray&, qint64) {
    return QByteArray::number(FFlow);
}

std::optional<QByteArray> TSimLaser::CmdTemperature(const QByteArray&, qint64) {
    return QByteArray::number(FTemperature);
}

std::optional<QByteArray> TSimLaser::CmdMarkerQuery(const QByteArray&, qint64) {
    if (!(FConfiguration & LcLed))
        return NoOption;
    return QByteArray::number(FMarkerLevel);
}

std::optional<QByteArray> TSimLaser::CmdPulseQuery(const QByteArray&, qint64) {
    if (!(FConfiguration & LcPulseWidth))
        return NoOption;
    return FLongPulse ? QByteArray("1") : QByteArray("0");
}

// --- Control of the laser ----------------------------------------------------

std::optional<QByteArray> TSimLaser::CmdSerialOn(const QByteArray&, qint64) {
    FRs232 = true;
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdSerialOff(const QByteArray&, qint64) {
    FRs232 = false;
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdSupplyOn(const QByteArray&, qint64 nowMs) {
    if (AnyInterlockOpen() || FResetFault)
        return NotNow;
    if (!FSupply) {
        FSupply = true;
        FSupplyOnAt = nowMs;
    }
    return Ok;
}

// "OF" and "ST" are obeyed even without serial control: stopping is always allowed.
std::optional<QByteArray> TSimLaser::CmdSupplyOff(const QByteArray&, qint64 nowMs) {
    SwitchOff(nowMs);
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdStop(const QByteArray&, qint64 nowMs) {
    StopFiring(nowMs);
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdShutterOpen(const QByteArray&, qint64) {
    if (!HasDiodes())
        return UnknownCommand;
    FShutterOpen = true;
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdShutterClose(const QByteArray&, qint64) {
    if (!HasDiodes())
        return UnknownCommand;
    FShutterOpen = false;
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdGo(const QByteArray&, qint64 nowMs) {
    if (FFiring)
        return Ok;
    if (!OkToFire(nowMs) || (FType == 8 && !FRunTempOk) || FType == 0)
        return NotNow;
    FFiring = true;
    FFireStart = nowMs;
    FFireBurst = FMode == 2;
    const qint64 rate = std::max(1, RateHz());
    switch (FMode) {
    case 1:
        FFirePulses = 1;
        FFireEnd = nowMs + std::max<qint64>(1, 1000 / rate);
        break;
    case 2:
        FFirePulses = static_cast<quint64>(FBurst);
        FFireEnd = nowMs + std::max<qint64>(1, FFirePulses * 1000 / rate);
        break;
    default:
        FFirePulses = 0;
        break;
    }
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdMode(const QByteArray& argument, qint64) {
    if (argument != "0" && argument != "1" && argument != "2")
        return BadParameter;
    FMode = argument.toInt();
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdRate(const QByteArray& argument, qint64) {
    const std::optional<int> units = Digits(argument, FType == 8 ? 5 : 3);
    if (!units)
        return BadParameter;
    const int max = FType == 8 ? FMaxRateReply * 100 : FMaxRateReply;
    if (*units < 1 || *units > max)
        return BadParameter;
    FRateUnits = *units;
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdBurst(const QByteArray& argument, qint64) {
    if (FType == 8)
        return UnknownCommand; // type 8 has two burst counters, "BU1" and "BU2"
    const std::optional<int> count = Digits(argument, 5);
    if (!count || *count < 1 || *count > MaxBurst())
        return BadParameter;
    FBurst = *count;
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdBurst1(const QByteArray& argument, qint64 nowMs) {
    if (FType != 8)
        return CmdBurst("1" + argument, nowMs); // "BU" of a count that starts with 1
    const std::optional<int> count = Digits(argument, 5);
    if (!count || *count < 1 || *count > MaxBurst())
        return BadParameter;
    FBurst = *count;
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdBurst2(const QByteArray& argument, qint64 nowMs) {
    if (FType != 8)
        return CmdBurst("2" + argument, nowMs);
    const std::optional<int> count = Digits(argument, 5);
    if (!count || *count < 1 || *count > MaxBurst())
        return BadParameter;
    FBurst2 = *count;
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdAttenuator(const QByteArray& argument, qint64 nowMs) {
    if (!(FServiceOptions & SvAttenuator))
        return NoOption;
    const std::optional<int> level = Digits(argument, 3);
    if (!level || *level > 255)
        return BadParameter;
    MoveTo(FAttenuator, *level, nowMs); // the attenuator is a motorised wave plate
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdVoltage(const QByteArray& argument, qint64) {
    if (HasDiodes())
        return UnknownCommand;
    if (IsFamilyA(FType))
        return NoOption;
    const std::optional<int> level = Digits(argument, 3);
    if (!level || *level > 255)
        return BadParameter;
    FVoltage = *level;
    return Ok;
}

std::optional<QByteArray> TSimLaser::Diode(int index, const QByteArray& argument) {
    const int drivers = FType == 8 ? 2 : (FType == 5 ? 1 : 0);
    if (index > drivers)
        return NoOption;
    const std::optional<int> level = Digits(argument, 3);
    if (!level || *level > (FType == 5 ? 100 : 255))
        return BadParameter;
    (index == 1 ? FDiode1 : FDiode2) = *level;
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdDiode1(const QByteArray& argument, qint64) {
    return Diode(1, argument);
}

std::optional<QByteArray> TSimLaser::CmdDiode2(const QByteArray& argument, qint64) {
    return Diode(2, argument);
}

std::optional<QByteArray> TSimLaser::CmdRangeHigh(const QByteArray&, qint64) {
    if (!IsFamilyA(FType))
        return UnknownCommand;
    FRangeHigh = true;
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdRangeLow(const QByteArray&, qint64) {
    if (!IsFamilyA(FType))
        return UnknownCommand;
    FRangeHigh = false;
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdQSwitchOn(const QByteArray&, qint64) {
    FQSwitchDisabled = false;
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdQSwitchOff(const QByteArray&, qint64) {
    FQSwitchDisabled = true;
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdApertureX(const QByteArray& argument, qint64 nowMs) {
    if (!(FServiceOptions & SvApertureWidth))
        return NoOption;
    const std::optional<int> steps = Digits(argument, 3);
    if (!steps || *steps >= FTravelX)
        return BadParameter;
    MoveTo(FApertureX, *steps, nowMs);
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdApertureY(const QByteArray& argument, qint64 nowMs) {
    if (!(FServiceOptions & SvApertureHeight))
        return NoOption;
    const std::optional<int> steps = Digits(argument, 3);
    if (!steps || *steps >= FTravelY)
        return BadParameter;
    MoveTo(FApertureY, *steps, nowMs);
    return Ok;
}

std::optional<QByteArray> TSimLaser::Rotate(int sign, const QByteArray& argument, qint64 nowMs) {
    if (!(FServiceOptions & SvRotation))
        return NoOption;
    const std::optional<int> amount = Digits(argument, 2);
    if (!amount)
        return BadParameter;
    // A polarizer turns by half the angle, 0 to 90; an XY theta stage either way.
    if (FRegisters.value(0x0F90) == 1 && (sign < 0 || *amount > 90))
        return BadParameter;
    MoveTo(FRotation, sign * *amount, nowMs);
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdRotatePlus(const QByteArray& argument, qint64 nowMs) {
    return Rotate(+1, argument, nowMs);
}

std::optional<QByteArray> TSimLaser::CmdRotateMinus(const QByteArray& argument, qint64 nowMs) {
    return Rotate(-1, argument, nowMs);
}

std::optional<QByteArray> TSimLaser::CmdMarkerAperture(const QByteArray& argument, qint64 nowMs) {
    if (!(FServiceOptions & SvMarkerAperture))
        return NoOption;
    const std::optional<int> index = Digits(argument, 1);
    if (!index || *index > 15)
        return BadParameter;
    MoveTo(FMarkerAperture, *index, nowMs);
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdMarkerSet(const QByteArray& argument, qint64) {
    if (!(FConfiguration & LcLed))
        return NoOption;
    const std::optional<int> level = Digits(argument, 3);
    if (!level || *level > 200)
        return BadParameter;
    FMarkerLevel = *level;
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdPulseLong(const QByteArray&, qint64) {
    if (!(FConfiguration & LcPulseWidth))
        return NoOption;
    FLongPulse = true;
    return Ok;
}

std::optional<QByteArray> TSimLaser::CmdPulseShort(const QByteArray&, qint64) {
    if (!(FConfiguration & LcPulseWidth))
        return NoOption;
    FLongPulse = false;
    return Ok;
}

} // namespace lasersim
