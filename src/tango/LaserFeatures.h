#pragma once

#include "laser/LaserModel.h"
#include "tango/AttributeTable.h"

class TCVLaser;

// What an identified laser offers, in the terms the main window lays its
// controls out by, so that the device refuses exactly what the window hides.
struct TLaserFeatures {
    TLaserOptions Options = 0;
    int Type = 0;
    int DiodeCount = 0;
    quint8 Wavelengths = 0; // bit = TWavelength ordinal
    int PulseMode = -1;     // the answer to "PM?", -1 without one

    // Reads the laser object's cached identification (no traffic); the
    // pulse mode comes from the caller, who asked the laser once.
    static TLaserFeatures Of(const TCVLaser& laser, int pulseMode);

    // Whether the laser has the setting `id`. Attributes that are no
    // setting (the status, read-outs, identity) count as present.
    bool Has(TAttrId id) const;
    // Whether `wavelength` is one the laser offers.
    bool Offers(TWavelength wavelength) const { return (Wavelengths >> wavelength) & 1u; }
};
