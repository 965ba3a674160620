#pragma once

#include "platform/LocaleNumbers.h"

#include <QString>

#include <array>
#include <optional>

class TCVLaser;

// The values of a settings file's "Laser" section, in the order in which a
// new file receives them (after "FormVersion").
enum class TLaserSetting {
    RepRate,        // integer, Hz
    FireMode,       // integer, TFireMode ordinal
    Voltage,        // real, percent
    Attenuator,     // real, percent
    ShotsPerBurst,  // integer
    Wavelength,     // integer, TWavelength ordinal
    ApertureX,      // real, percent of travel
    ApertureY,      // real, percent of travel
    EnergyMode,     // integer, TOutputRange ordinal
    XYTheta,        // integer, degrees
    PolarizerTheta, // integer, degrees
};

// The laser settings the main window keeps between saves and recalls, and
// their settings file. The values are held as text in the user's locale,
// as the file holds them; they start as the design defaults and follow the
// last save or recall.
//
// A laser with diodes (types 5 and 8) has no PFN voltage: its "Voltage"
// setter drives the diodes. Its file also holds "Diode1" and "Diode2" (real,
// percent; readers that do not know them pass them by), and its "Voltage" is
// diode 1's current, so that an older reader recalling the file drives the
// diodes to what the operator had rather than to the never-set PFN value.
class TLaserSettings {
public:
    static constexpr int Count = 11;

    explicit TLaserSettings(
        platform::TLocaleNumbers numbers = platform::TLocaleNumbers::FromEnvironment());

    // The key of a value in the file.
    static QString Key(TLaserSetting setting);

    // Takes the laser's current values, the diode currents of a laser with
    // diodes included. Throws std::invalid_argument, with the values
    // unchanged, when a real value is not a finite number.
    void Capture(const TCVLaser& laser);

    // Writes "FormVersion" 0 and the values to the file at `path` (the diode
    // currents where held), other sections and keys kept. Throws std::runtime_error "Unable to
    // write to <path>" when the file cannot be written; it is then unchanged.
    void Write(const QString& path) const;

    // Reads the values from the file at `path`; a key the file lacks keeps
    // the value held. A negative "FormVersion" reads nothing.
    void Read(const QString& path);

    // A value as a number. Throws std::runtime_error naming the key and the
    // text when the text is not a number (or, for Integer, not within the
    // int range once rounded, halves to even).
    double Real(TLaserSetting setting) const;
    int Integer(TLaserSetting setting) const;
    // An ordinal within low..high; out of it, std::runtime_error naming the
    // key and the text.
    int Ordinal(TLaserSetting setting, int low, int high) const;

    // Diode `index`'s current (1 or 2), percent; nullopt when neither a save
    // nor a recall brought one. Throws like Real for text that is no number.
    std::optional<double> DiodeCurrent(int index) const;

private:
    static constexpr int DiodeCount = 2;

    platform::TLocaleNumbers FNumbers;
    std::array<QString, Count> FValues;
    std::array<std::optional<QString>, DiodeCount> FDiodes;
};
