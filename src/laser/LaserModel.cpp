#include "laser/LaserModel.h"

#include <array>

void DecodeHarmonicCode(unsigned code, THarmonicEntry& entry) {
    entry.Valid = 1;
    switch (code & 0x03) {
    case 0:
        entry.Valid = 0;
        break;
    case 1:
        entry.Range = erLow;
        break;
    case 2:
        entry.Range = erHigh;
        break;
    default:
        break;
    }
    switch (code & 0x3C) {
    case 0x04:
        entry.Wavelength = wlIR;
        break;
    case 0x08:
        entry.Wavelength = wlGreen;
        break;
    case 0x0C:
        entry.Wavelength = wlUV;
        break;
    default:
        entry.Valid = 0;
        break;
    }
    switch (code & 0xC0) {
    case 0x00:
        entry.Kind = 0;
        break;
    case 0x40:
        entry.Kind = 1;
        break;
    default:
        break;
    }
}

TLaserOptions BuildOptions(qint64 sv, qint64 lc, quint8 polarizerKind, int laserType) {
    TLaserOptions options = 0;
    if (sv >= 0) {
        if (sv & 0x01)
            options |= loAttenuator;
        if (sv & 0x02)
            options |= loApertureWidth;
        if (sv & 0x04)
            options |= loApertureHeight;
        if (sv & 0x08)
            options |= loHarmonicSets | loOutputRange;
        if (sv & 0x10)
            options |= loMarkerAperture;
        if (sv & 0x20)
            options |= loXYTheta;
    }
    if (lc >= 0) {
        if (lc & 0x01)
            options |= 0x0200;
        if (lc & 0x08)
            options |= 0x1000;
        if (lc & 0x10)
            options |= loLED;
        if (lc & 0x20)
            options |= 0x4000;
        if (lc & 0x40)
            options |= loPulseWidth;
    }
    // A polarizer sits on the rotation stage that would otherwise turn the XY theta.
    if (polarizerKind == 1 && (options & loXYTheta)) {
        options &= ~TLaserOptions(loXYTheta);
        options |= loPolarizer;
    }
    if (laserType == 6)
        options |= loOutputRange;
    if (laserType != 2 && laserType != 3 && laserType != 6 && laserType != 7)
        options |= loVariableVoltage;
    return options;
}

namespace lasermodel {

QString TypeName(int type) {
    static const std::array<const char*, TypeCount> names = {"unknown", "Kestane", "Bromil",
                                                             "Tavisk",  "Morvane", "Quelln",
                                                             "Ardish",  "Fenlor",  "Oltrin"};
    if (type < 0 || type >= TypeCount)
        type = 0;
    return QString::fromLatin1(names[static_cast<std::size_t>(type)]);
}

bool IsFamilyA(int type) {
    return type == 2 || type == 6 || type == 7;
}

int DiodeCount(int type) {
    switch (type) {
    case 0:
        return -1;
    case 5:
        return 1;
    case 8:
        return 2;
    default:
        return 0;
    }
}

int RepRateUnit(int type) {
    return type == 5 ? 100 : 1;
}

int MaxBurstCount(int type) {
    return IsFamilyA(type) ? 50 : 4000;
}

bool NeedsFirmware12(int type) {
    return type != 5 && type != 8;
}

bool HasShutter(int type) {
    return type == 5 || type == 8;
}

} // namespace lasermodel
