#include "tango/LaserFeatures.h"

#include "laser/CVLaser.h"

#include <bit>

TLaserFeatures TLaserFeatures::Of(const TCVLaser& laser, int pulseMode) {
    return {laser.Options(), laser.LaserType(), laser.GetDiodeCount(), laser.Wavelengths(),
            pulseMode};
}

bool TLaserFeatures::Has(TAttrId id) const {
    const auto has = [this](TLaserOption option) { return (Options & option) != 0; };
    switch (id) {
    case aiOutputLevel:
        return has(loAttenuator);
    case aiOutputRange:
        return has(loOutputRange);
    case aiWavelength:
        // Without harmonic sets the laser object has no command to switch.
        return has(loHarmonicSets) && std::popcount(unsigned(Wavelengths & 0x7u)) >= 2;
    case aiPFNVoltage:
        // Types 5 and 8 turn a PFN voltage into diode currents.
        return has(loVariableVoltage) && Type != 5 && Type != 8;
    case aiDiodeCurrent:
        return DiodeCount >= 1;
    case aiApertureWidth:
        return has(loApertureWidth);
    case aiApertureHeight:
        // The window shows both blades with the width option; the laser
        // object ignores a height without the height blade.
        return has(loApertureWidth) && has(loApertureHeight);
    case aiXYTheta:
        return has(loXYTheta);
    case aiPolarizerAngle:
        return has(loPolarizer);
    case aiIlluminatorLevel:
        return has(loLED);
    case aiLongPulse:
        return has(loPulseWidth) && PulseMode >= 0;
    default:
        return true;
    }
}
