#pragma once

#include <QtGlobal>

#include <array>

// The derived status word: 13 bits with the same meaning for every laser
// family, translated from the family's raw status word ("SS").
using TLaserStatus = quint16;
enum TLaserStatusBit : quint16 {
    lsFlow = 0x0001,       // coolant flow interlock open
    lsTemp = 0x0002,       // temperature interlock open
    lsExt = 0x0004,        // external interlock open
    lsWork = 0x0008,       // work-piece (or laser-head) interlock open
    lsOn = 0x0010,         // power supply on
    lsFire = 0x0020,       // firing
    lsStart = 0x0040,      // starting
    lsRemote = 0x0080,     // under serial (RS232) control
    lsReset = 0x0100,      // reset fault
    lsOkToFire = 0x0200,   // ready to fire
    lsBurstLock = 0x0400,  // cooling down after a burst
    lsOkToStart = 0x0800,  // the power supply may be switched
    lsCoolantLow = 0x1000, // coolant low
};

inline constexpr int DerivedStatusBits = 13;
inline constexpr int RawStatusBits = 24;

// Raw status bits the laser object itself looks at.
inline constexpr quint32 RawShutterOpen = 0x10;     // type 8
inline constexpr quint32 RawDiodeFaults = 0x60;     // type 8, LD1 and LD2
inline constexpr quint32 RawRunTempOk = 0x10000;    // type 8
inline constexpr quint32 RawMotorMoving = 0x100000; // every family

// One decode rule: kind 0 sets the derived bit when (raw & Mask) == 0,
// kind 1 when it is not 0, kind 2 when it equals Value; other kinds never.
struct TStatusDecodeEntry {
    quint32 Mask = 0;
    quint32 Value = 0;
    quint8 Kind = 0;
};

using TStatusTable = std::array<TStatusDecodeEntry, DerivedStatusBits>;

enum class TStatusFamily { General, A, B, C };

// Family A = types 2, 6, 7; B = type 5; C = type 8; General = the rest.
TStatusFamily StatusFamilyOfType(int laserType);
const TStatusTable& StatusTableOf(TStatusFamily family);

// Translates a raw status word through a decode table (pure).
TLaserStatus DecodeStatus(quint32 raw, const TStatusTable& table);

// The derived word of one status poll, with the type rules applied: type 8
// drops the diode-fault bits while the shutter is closed (`raw` is updated,
// as the object stores the adjusted word); type 5 below firmware 2.0 may
// always start while no TEMP, EXT or WORK interlock is open.
TLaserStatus DeriveStatus(quint32& raw, const TStatusTable& table, int laserType,
                          float firmwareVersion);

// Whether the fire control may be enabled: ON set, none of FLOW, TEMP, EXT,
// WORK, START, RESET, BURST_LOCK; never for type 0; type 8 also needs
// RUN_TEMP_OK in the raw word of the same poll.
bool CanFireWith(TLaserStatus status, int laserType, quint32 raw);

// Name tables. The derived names ("FLOW" ... "COOLANT_LOW"), the raw bit
// names of each layout (family A uses the general layout; "N/A" marks an
// unused bit) and the short labels of the family C layout.
extern const std::array<const char*, DerivedStatusBits> DerivedStatusNames;
extern const std::array<const char*, RawStatusBits> RawStatusNamesGeneral;
extern const std::array<const char*, RawStatusBits> RawStatusNamesFamilyB;
extern const std::array<const char*, RawStatusBits> RawStatusNamesFamilyC;
extern const std::array<const char*, RawStatusBits> FamilyCStatusLabels;
