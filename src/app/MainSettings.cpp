// Saving the laser's settings to a settings file and recalling them. Recall
// goes through the same apply operations as the controls, so every clamp
// and option check of the laser applies to a file's values too.
#include "app/LCMain.h"

#include "controls/FloatFormat.h"
#include "laser/CVLaser.h"
#include "platform/AppPaths.h"

#include <QFileInfo>

#include <stdexcept>

namespace {

// Linux names are case-sensitive; files from Windows often end in ".LAS".
const QString SettingsFilter = QStringLiteral("Laser Settings (*.las *.LAS)");
const QString SettingsSuffix = QStringLiteral("LAS");

QString FolderOf(const QString& path) {
    return QFileInfo(path).absolutePath();
}

// The folder a settings dialog opens in: the one last used, at first the
// executable's, or the documents folder for an installed program.
QString SettingsFolder(const QString& folder) {
    return folder.isEmpty() ? platform::SettingsDialogFolder() : folder;
}

} // namespace

void TformMain::SaveSettings1Click() {
    const QString path =
        FDialogs->SaveFileName(QStringLiteral("Save Laser Settings"),
                               SettingsFolder(FSettingsSaveFolder), SettingsFilter, SettingsSuffix);
    if (path.isEmpty())
        return;
    FSettings.Capture(*FLaser);
    FSettings.Write(path);
    FSettingsOpenFolder = FolderOf(path);
}

void TformMain::menuRecallSettings1Click() {
    const QString path =
        FDialogs->OpenFileName(QStringLiteral("Recall Laser Settings"),
                               SettingsFolder(FSettingsOpenFolder), SettingsFilter, SettingsSuffix);
    if (path.isEmpty())
        return;
    FSettings.Read(path);
    const auto real = [this](TLaserSetting setting) {
        return SaturateToFloat(FSettings.Real(setting));
    };
    // A mode the laser has no name for ("MO3") is refused before anything
    // reaches the laser.
    const auto mode = TFireMode(FSettings.Ordinal(TLaserSetting::FireMode, fmContinuous, fmBurst));
    // The burst count goes first, so that the mode's caption shows it.
    FLaser->SetBurstCount(FSettings.Integer(TLaserSetting::ShotsPerBurst));
    ApplyRepRate(real(TLaserSetting::RepRate));
    ApplyFireMode(mode);
    if (FLaser->GetDiodeCount() > 0) {
        // A diode laser's "Voltage" would drive both diodes, to full current
        // from a file that never held their setting; only the diode keys
        // reach them.
        for (int index = 1; index <= FLaser->GetDiodeCount(); ++index) {
            if (const std::optional<double> percent = FSettings.DiodeCurrent(index))
                ApplyDiodeCurrent(index, SaturateToFloat(*percent));
        }
    } else {
        ApplyPFNVoltage(real(TLaserSetting::Voltage));
    }
    ApplyOutputLevel(real(TLaserSetting::Attenuator));
    // An ordinal the laser has no name for would be stored in it and saved
    // again; it is refused before anything reaches the laser.
    const int wavelength = FSettings.Integer(TLaserSetting::Wavelength);
    if (wavelength < wlIR || wavelength > wlUV)
        throw std::logic_error("Unsupported wavelength");
    ApplyWavelength(wavelength);
    const float width = real(TLaserSetting::ApertureX);
    ApplyAperture(real(TLaserSetting::ApertureY), width);
    const int range = FSettings.Integer(TLaserSetting::EnergyMode);
    if (range < erLow || range > erHigh)
        throw std::logic_error("Unsupported output range");
    ApplyOutputRange(TOutputRange(range));
    ApplyXYTheta(real(TLaserSetting::XYTheta));
    ApplyPolarizerAngle(real(TLaserSetting::PolarizerTheta));
    FSettingsSaveFolder = FolderOf(path);
}
