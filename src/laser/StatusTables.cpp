#include "laser/StatusTables.h"

namespace {

constexpr TStatusDecodeEntry All(quint32 mask) {
    return {mask, mask, 2};
}
constexpr TStatusDecodeEntry Any(quint32 mask) {
    return {mask, 0, 1};
}
constexpr TStatusDecodeEntry Never() {
    return {0, 0, 1};
}

// Entry i produces derived bit i (FLOW, TEMP, EXT, WORK, ON, FIRE, START,
// REMOTE, RESET, OK_TO_FIRE, BURST_LOCK, OK_TO_START, COOLANT_LOW).
constexpr TStatusTable GeneralTable = {
    All(0x1),  All(0x2),      All(0x4),      All(0x8), All(0x10),     All(0x20),   All(0x40),
    All(0x80), All(0x800000), All(0x400010), Never(),  Any(0x600030), Any(0x80000)};

// Burst lock-out: on, not firing and not ready to fire.
constexpr TStatusTable FamilyATable = {
    All(0x1),  All(0x2),  All(0x4),      All(0x8),      All(0x10),           All(0x20),
    All(0x40), All(0x80), All(0x800000), All(0x400010), {0x400030, 0x10, 2}, Any(0x600030),
    Never()};

constexpr TStatusTable FamilyBTable = {
    All(0x10), Any(0x80060),  All(0x8),      All(0x4), All(0x100),    All(0x2000), All(0x4000),
    All(0x80), All(0x800000), All(0x400100), Never(),  Any(0x600100), Never()};

constexpr TStatusTable FamilyCTable = {
    Any(0x80001), Any(0x62),     All(0x4),      All(0x8), All(0x100),    All(0x2000), All(0x4000),
    All(0x80),    All(0x800000), All(0x400100), Never(),  Any(0x600100), Never()};

} // namespace

TStatusFamily StatusFamilyOfType(int laserType) {
    switch (laserType) {
    case 2:
    case 6:
    case 7:
        return TStatusFamily::A;
    case 5:
        return TStatusFamily::B;
    case 8:
        return TStatusFamily::C;
    default:
        return TStatusFamily::General;
    }
}

const TStatusTable& StatusTableOf(TStatusFamily family) {
    switch (family) {
    case TStatusFamily::A:
        return FamilyATable;
    case TStatusFamily::B:
        return FamilyBTable;
    case TStatusFamily::C:
        return FamilyCTable;
    case TStatusFamily::General:
        break;
    }
    return GeneralTable;
}

TLaserStatus DecodeStatus(quint32 raw, const TStatusTable& table) {
    TLaserStatus result = 0;
    for (int i = 0; i < DerivedStatusBits; ++i) {
        const TStatusDecodeEntry& entry = table[static_cast<std::size_t>(i)];
        const quint32 m = raw & entry.Mask;
        bool set = false;
        switch (entry.Kind) {
        case 0:
            set = m == 0;
            break;
        case 1:
            set = m != 0;
            break;
        case 2:
            set = m == entry.Value;
            break;
        default:
            break;
        }
        if (set)
            result |= TLaserStatus(1u << i);
    }
    return result;
}

TLaserStatus DeriveStatus(quint32& raw, const TStatusTable& table, int laserType,
                          float firmwareVersion) {
    // The diode drivers of a type 8 laser report faults while the shutter is
    // closed that mean nothing for the operator.
    if (laserType == 8 && !(raw & RawShutterOpen))
        raw &= ~RawDiodeFaults;
    TLaserStatus derived = DecodeStatus(raw, table);
    // Older type 5 firmware never reports OK_TO_START.
    if (laserType == 5 && firmwareVersion < 2.0f && !(derived & (lsTemp | lsExt | lsWork)))
        derived |= lsOkToStart;
    return derived;
}

bool CanFireWith(TLaserStatus status, int laserType, quint32 raw) {
    if (laserType == 0)
        return false;
    constexpr TLaserStatus blocking =
        lsFlow | lsTemp | lsExt | lsWork | lsStart | lsReset | lsBurstLock;
    bool ok = !(status & blocking) && (status & (lsOn | lsStart));
    if (laserType == 8)
        ok = ok && (raw & RawRunTempOk);
    return ok;
}

const std::array<const char*, DerivedStatusBits> DerivedStatusNames = {
    "FLOW",   "TEMP",  "EXT",        "WORK",       "ON",          "FIRE",       "START",
    "REMOTE", "RESET", "OK_TO_FIRE", "BURST_LOCK", "OK_TO_START", "COOLANT_LOW"};

const std::array<const char*, RawStatusBits> RawStatusNamesGeneral = {"FLOW_INTERLOCK",
                                                                      "TEMPERATURE_INTERLOCK",
                                                                      "EXTERNAL_INTERLOCK",
                                                                      "WORKPIECE_INTERLOCK",
                                                                      "LASER_ON",
                                                                      "LASER_FIRING",
                                                                      "LASER_STARTING",
                                                                      "RS232_MODE",
                                                                      "EXT_QSWITCH",
                                                                      "EXT_TRIGGER",
                                                                      "SINGLE_SHOT",
                                                                      "CONTINUOUS_MODE",
                                                                      "BURST_MODE",
                                                                      "QSWITCH_DISABLED",
                                                                      "FIXED_RATE",
                                                                      "WARMUP_MODE",
                                                                      "N/A",
                                                                      "N/A",
                                                                      "MOTORS_HOMING",
                                                                      "COOLANT_LOW",
                                                                      "MOTOR_MOVING",
                                                                      "OK_TO_START",
                                                                      "OK_TO_FIRE",
                                                                      "RESET_FAULT"};

const std::array<const char*, RawStatusBits> RawStatusNamesFamilyB = {"LD1_FAULT",
                                                                      "N/A",
                                                                      "WORK-PIECE_INTERLOCK",
                                                                      "EXTERNAL_INTERLOCK",
                                                                      "FLOW_INTERLOCK",
                                                                      "LD1_TEMP",
                                                                      "N/A",
                                                                      "RS232_MODE",
                                                                      "LASER_ON",
                                                                      "N/A",
                                                                      "SINGLE_SHOT",
                                                                      "CONTINUOUS_MODE",
                                                                      "BURST_MODE",
                                                                      "LASER_FIRING",
                                                                      "LASER_STARTING",
                                                                      "N/A",
                                                                      "N/A",
                                                                      "N/A",
                                                                      "N/A",
                                                                      "CHILLER_FAILURE",
                                                                      "SHUTTER_FAILURE",
                                                                      "OK_TO_START",
                                                                      "OK_TO_FIRE",
                                                                      "RESET_FAULT"};

const std::array<const char*, RawStatusBits> RawStatusNamesFamilyC = {
    "FLOW_INTERLOCK",  "TEMPERATURE",  "EXTERNAL_INTERLOCK", "LASER_HEAD",
    "SHUTTER_OPEN",    "LD1_FAULT",    "LD2_FAULT",          "RS232_MODE",
    "LASER_ON",        "EXT_QSWITCH",  "SINGLE_SHOT",        "CONTINUOUS_MODE",
    "BURST_MODE",      "LASER_FIRING", "LASER_STARTING",     "N/A",
    "RUN_TEMP_OK",     "LOW_POWER",    "HIGH_FLOW",          "CHILLER_ERROR",
    "SHUTTER_FAILURE", "OK_TO_START",  "OK_TO_FIRE",         "RESET_FAULT"};

const std::array<const char*, RawStatusBits> FamilyCStatusLabels = {"Flow",
                                                                    "Overtemp",
                                                                    "Ext Intlk",
                                                                    "LH Intlk",
                                                                    "Shutter Open",
                                                                    "LD1 Fault",
                                                                    "LD2 Fault",
                                                                    "RS232 Mode",
                                                                    "Laser On",
                                                                    "Ext Q-Sw",
                                                                    "Single Shot",
                                                                    "Variable",
                                                                    "Burst",
                                                                    "Laser Firing",
                                                                    "Laser Starting",
                                                                    "Spare",
                                                                    "Run Temp OK",
                                                                    "Low Power",
                                                                    "High Flow Error",
                                                                    "Chiller Error",
                                                                    "Shutter Failure",
                                                                    "OK To Start",
                                                                    "OK To Fire",
                                                                    "Reset Fault"};
