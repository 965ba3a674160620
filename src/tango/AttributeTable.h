#pragma once

#include "laser/StatusTables.h"

#include <array>
#include <string>
#include <vector>

// The device's attributes, in one table: the device class builds its Tango
// attributes from it, the station fills the cache in its order, and the
// event pusher knows from it which ones the poll announces.
enum TAttrId : int {
    aiStatusWord,
    // Bits of the derived status word, in the word's order except that
    // REMOTE has no attribute of its own.
    aiFlowInterlock,
    aiTempInterlock,
    aiExtInterlock,
    aiWorkInterlock,
    aiSupplyOn,
    aiFiring,
    aiStarting,
    aiSupplyResetFailure,
    aiOkToFire,
    aiBurstLock,
    aiOkToStart,
    aiCoolantLow,
    // Read-outs, one refreshed per poll tick.
    aiShotCount,
    aiHours,
    aiFlowRate,
    aiTemperature,
    // Identity, fixed from discovery to discovery.
    aiModel,
    aiLaserType,
    aiFirmware,
    aiOptions,
    // Settings: written through the laser object, read back from it.
    aiRepRate,
    aiFireMode,
    aiBurstCount,
    aiOutputLevel,
    aiOutputRange,
    aiWavelength,
    aiPFNVoltage,
    aiDiodeCurrent,
    aiApertureWidth,
    aiApertureHeight,
    aiXYTheta,
    aiPolarizerAngle,
    aiIlluminatorLevel,
    aiLongPulse,
};

inline constexpr int AttrCount = aiLongPulse + 1;

// How a value travels: booleans as DevBoolean, whole numbers as DevLong
// (DevUShort for the two words), real numbers as DevDouble, enumerations as
// DevEnum (the ordinal), texts as DevString.
enum class TAttrKind { Bool, UShort, Long, Double, Enum, String };

struct TAttrInfo {
    const char* Name;
    TAttrKind Kind;
    bool Writable;
    bool Events;          // change events pushed by the poll
    TLaserStatus Bit;     // the status bit a boolean shows; 0 for the rest
    const char* Unit;     // "" when none
    const char* MinValue; // write limits as Tango takes them; nullptr when none
    const char* MaxValue;
    const char* Lacks; // why a laser without this setting refuses it
    const char* Description;
};

const std::array<TAttrInfo, AttrCount>& AttributeTable();
inline const TAttrInfo& AttrInfo(TAttrId id) {
    return AttributeTable()[static_cast<std::size_t>(id)];
}

// The labels of an enumeration attribute, by ordinal; empty for the rest.
std::vector<std::string> EnumLabels(TAttrId id);

// One cached value. Booleans are 0 or 1, enumerations their ordinal; an
// invalid value is one the laser does not have or did not report, served
// with the quality ATTR_INVALID.
struct TAttrValue {
    bool Valid = false;
    double Number = 0;
    std::string Text;
    friend bool operator==(const TAttrValue&, const TAttrValue&) = default;
};
