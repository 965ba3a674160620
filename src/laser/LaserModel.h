#pragma once

#include <QString>
#include <QtGlobal>

// Vocabulary of laser settings shared by the laser object, the main window
// and the settings files. The ordinals are used on the wire ("MO" takes the
// fire mode ordinal) and in settings files.
enum TFireMode : quint8 { fmContinuous = 0, fmOneShot = 1, fmBurst = 2 };
enum TWavelength : quint8 { wlIR = 0, wlGreen = 1, wlUV = 2 };
enum TOutputRange : quint8 { erLow = 0, erHigh = 1 };

// One harmonic (wavelength and range) set as the laser describes it.
struct THarmonicEntry {
    quint8 Kind = 0;       // bits 6-7 of the set's code; stored only
    quint8 Valid = 0;      // 1 when the set is usable
    quint8 Range = 0;      // TOutputRange ordinal
    quint8 Wavelength = 0; // TWavelength ordinal
    friend bool operator==(const THarmonicEntry&, const THarmonicEntry&) = default;
};

// Fills `entry` from a harmonic-set code (the hexadecimal reply to "HSn?").
// Valid becomes 1 unless the range bits are 0 or the wavelength field is
// not 0x04, 0x08 or 0x0C; fields the code does not decide keep their value.
void DecodeHarmonicCode(unsigned code, THarmonicEntry& entry);

// The options word: which optional hardware the laser has.
using TLaserOptions = quint16;
enum TLaserOption : quint16 {
    loAttenuator = 0x0001,
    loApertureWidth = 0x0002,
    loApertureHeight = 0x0004,
    loHarmonicSets = 0x0008,
    loMarkerAperture = 0x0010,
    loXYTheta = 0x0020,
    loPolarizer = 0x0040,
    loVariableVoltage = 0x0080,
    loOutputRange = 0x0100,
    loLED = 0x2000,
    loPulseWidth = 0x8000,
};

// Builds the options word from the replies to "SV?" and "LC?" (negative:
// no usable reply, that query's bits stay clear), the polarizer kind and
// the laser type.
TLaserOptions BuildOptions(qint64 sv, qint64 lc, quint8 polarizerKind, int laserType);

// What the laser type decides. Types are the decimal reply to "LT?";
// anything not listed below behaves like types 0, 1, 3 and 4.
namespace lasermodel {

inline constexpr int TypeCount = 9; // types 0..8 have a name

// "unknown", "Kestane", ... "Oltrin"; a type above 8 gives "unknown".
QString TypeName(int type);

// Family A (types 2, 6, 7): no diodes, 50-pulse bursts, "ENH"/"ENL".
bool IsFamilyA(int type);

// -1 for type 0, 1 for type 5, 2 for type 8, 0 otherwise.
int DiodeCount(int type);

// Hz per unit of the "RR" argument: 100 for type 5, else 1.
int RepRateUnit(int type);

// 50 for family A, else 4000.
int MaxBurstCount(int type);

// Firmware 1.2 or later is required by every type but 5 and 8.
bool NeedsFirmware12(int type);

// Types 5 and 8 open the shutter ("SH1") before "GO", and their shot
// counter counts hundreds.
bool HasShutter(int type);

} // namespace lasermodel
