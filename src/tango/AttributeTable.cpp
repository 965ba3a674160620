#include "tango/AttributeTable.h"

namespace {

constexpr TAttrInfo Read(const char* name, TAttrKind kind, bool events, const char* unit,
                         const char* description, TLaserStatus bit = 0) {
    return {name, kind, false, events, bit, unit, nullptr, nullptr, nullptr, description};
}

constexpr TAttrInfo Flag(const char* name, TLaserStatus bit, const char* description) {
    return Read(name, TAttrKind::Bool, true, "", description, bit);
}

constexpr TAttrInfo Setting(const char* name, TAttrKind kind, const char* unit, const char* low,
                            const char* high, const char* lacks, const char* description) {
    return {name, kind, true, false, 0, unit, low, high, lacks, description};
}

const std::array<TAttrInfo, AttrCount> Table = {{
    Read("StatusWord", TAttrKind::UShort, true, "",
         "The derived status word: bits 0..12 FLOW TEMP EXT WORK ON FIRE START REMOTE RESET "
         "OK_TO_FIRE BURST_LOCK OK_TO_START COOLANT_LOW"),
    Flag("FlowInterlock", lsFlow, "Coolant flow interlock open"),
    Flag("TempInterlock", lsTemp, "Temperature interlock open"),
    Flag("ExtInterlock", lsExt, "External interlock open"),
    Flag("WorkInterlock", lsWork, "Work-piece (or laser-head) interlock open"),
    Flag("SupplyOn", lsOn, "Power supply on"),
    Flag("Firing", lsFire, "The laser is firing"),
    Flag("Starting", lsStart, "The power supply is starting"),
    Flag("SupplyResetFailure", lsReset, "The power supply failed to reset"),
    Flag("OkToFire", lsOkToFire, "The laser is ready to fire"),
    Flag("BurstLock", lsBurstLock, "Cooling down after a burst"),
    Flag("OkToStart", lsOkToStart, "The power supply may be switched"),
    Flag("CoolantLow", lsCoolantLow, "Coolant low"),
    Read("ShotCount", TAttrKind::Double, true, "shots", "Shots fired over the laser's life"),
    Read("Hours", TAttrKind::Long, true, "h", "Operating hours"),
    Read("FlowRate", TAttrKind::Long, true, "", "Coolant flow as the laser reports it"),
    Read("Temperature", TAttrKind::Long, true, "", "Temperature as the laser reports it"),
    Read("Model", TAttrKind::String, false, "", "The laser's model name"),
    Read("LaserType", TAttrKind::Long, false, "", "The laser's type number"),
    Read("Firmware", TAttrKind::String, false, "", "Firmware version"),
    Read("Options", TAttrKind::UShort, false, "",
         "Options word: 0x1 attenuator, 0x2 aperture width, 0x4 aperture height, 0x8 harmonic "
         "sets, 0x10 marker aperture, 0x20 XY theta, 0x40 polarizer, 0x80 variable voltage, "
         "0x100 output range, 0x2000 LED, 0x8000 pulse width"),
    Setting("RepRate", TAttrKind::Long, "Hz", nullptr, nullptr, nullptr,
            "Repetition rate; the laser keeps it inside its own range"),
    Setting("FireMode", TAttrKind::Enum, "", nullptr, nullptr, nullptr, "Firing mode"),
    Setting("BurstCount", TAttrKind::Long, "pulses", nullptr, nullptr, nullptr,
            "Pulses per burst, 1 to the laser's maximum"),
    Setting("OutputLevel", TAttrKind::Double, "%", "0", "100", "This laser has no attenuator",
            "Attenuator output level"),
    Setting("OutputRange", TAttrKind::Enum, "", nullptr, nullptr,
            "This laser has no output range switch", "Output range; firing stops first"),
    Setting("Wavelength", TAttrKind::Enum, "", nullptr, nullptr,
            "This laser offers only one wavelength", "Wavelength; firing stops first"),
    Setting("PFNVoltage", TAttrKind::Double, "%", "0", "100",
            "This laser has no variable PFN voltage", "PFN voltage"),
    Setting("DiodeCurrent", TAttrKind::Double, "%", "0", "100", "This laser has no pump diodes",
            "Pump diode current; a write sets every diode, a read gives diode 1"),
    Setting("ApertureWidth", TAttrKind::Double, "%", "0", "100", "This laser has no aperture",
            "Aperture width in percent of the blade's travel"),
    Setting("ApertureHeight", TAttrKind::Double, "%", "0", "100",
            "This laser has no aperture height blade",
            "Aperture height in percent of the blade's travel"),
    Setting("XYTheta", TAttrKind::Long, "deg", "-90", "90", "This laser has no rotation stage",
            "Rotation of the XY shutter"),
    Setting("PolarizerAngle", TAttrKind::Long, "deg", "0", "180", "This laser has no polarizer",
            "Polarizer angle, in steps of 2 degrees"),
    Setting("IlluminatorLevel", TAttrKind::Double, "%", "0", "100",
            "This laser has no illuminator LED", "Brightness of the marker LED"),
    Setting("LongPulse", TAttrKind::Bool, "", nullptr, nullptr,
            "This laser has no pulse width setting", "Long pulse (true) or short pulse"),
}};

} // namespace

const std::array<TAttrInfo, AttrCount>& AttributeTable() {
    return Table;
}

std::vector<std::string> EnumLabels(TAttrId id) {
    switch (id) {
    case aiFireMode:
        return {"Continuous", "OneShot", "Burst"}; // TFireMode ordinals
    case aiOutputRange:
        return {"Low", "High"}; // TOutputRange
    case aiWavelength:
        return {"IR", "Green", "UV"}; // TWavelength
    default:
        return {};
    }
}
