#include "session/LaserSettings.h"

#include "laser/CVLaser.h"
#include "platform/ProfileFile.h"
#include "session/Rounding.h"

#include <algorithm>
#include <climits>
#include <stdexcept>
#include <utility>

namespace {

const QString Section = QStringLiteral("Laser");
const QString FormVersionKey = QStringLiteral("FormVersion");

struct TKeyInfo {
    const char* Key;
    const char* Default;
};

const std::array<TKeyInfo, TLaserSettings::Count> Keys = {{
    {"RepRate", "10"},
    {"FireMode", "0"},
    {"Voltage", "0"},
    {"Attenuator", "0"},
    {"ShotsPerBurst", "0"},
    {"Wavelength", "0"},
    {"ApertureX", "0"},
    {"ApertureY", "0"},
    {"EnergyMode", "0"},
    {"XYTheta", "0"},
    {"PolarizerTheta", "0"},
}};

int Index(TLaserSetting setting) {
    return int(setting);
}

QString DiodeKey(int index) {
    return QStringLiteral("Diode%1").arg(index);
}

} // namespace

TLaserSettings::TLaserSettings(platform::TLocaleNumbers numbers) : FNumbers(std::move(numbers)) {
    for (int i = 0; i < Count; ++i)
        FValues[i] = QLatin1String(Keys[i].Default);
}

QString TLaserSettings::Key(TLaserSetting setting) {
    return QLatin1String(Keys[Index(setting)].Key);
}

void TLaserSettings::Capture(const TCVLaser& laser) {
    const auto real = [this](float value) { return FNumbers.FromDouble(double(value)); };
    std::array<QString, Count> values;
    values[Index(TLaserSetting::RepRate)] = QString::number(laser.RepRate());
    values[Index(TLaserSetting::FireMode)] = QString::number(int(laser.FireMode()));
    values[Index(TLaserSetting::Voltage)] = real(laser.PFNVoltage());
    values[Index(TLaserSetting::Attenuator)] = real(laser.OutputLevel());
    values[Index(TLaserSetting::ShotsPerBurst)] = QString::number(laser.BurstCount());
    values[Index(TLaserSetting::Wavelength)] = QString::number(int(laser.Wavelength()));
    values[Index(TLaserSetting::ApertureX)] = real(laser.ApertureWidth());
    values[Index(TLaserSetting::ApertureY)] = real(laser.ApertureHeight());
    values[Index(TLaserSetting::EnergyMode)] = QString::number(int(laser.OutputRange()));
    values[Index(TLaserSetting::XYTheta)] = QString::number(laser.XYTheta());
    values[Index(TLaserSetting::PolarizerTheta)] = QString::number(laser.PolarizerAngle());
    std::array<std::optional<QString>, DiodeCount> diodes;
    for (int index = 1; index <= std::min(laser.GetDiodeCount(), DiodeCount); ++index)
        diodes[index - 1] = real(laser.GetDiodeCurrent(index));
    if (diodes[0])
        values[Index(TLaserSetting::Voltage)] = *diodes[0];
    FValues = values;
    FDiodes = diodes;
}

void TLaserSettings::Write(const QString& path) const {
    // All keys go in one save of the whole file, after the file has shown
    // that it can be written: a failure leaves the old file as it was, never
    // some keys new and some old.
    platform::TProfileFile file(path);
    const auto failed = [&path] {
        return std::runtime_error(QStringLiteral("Unable to write to %1").arg(path).toStdString());
    };
    if (!file.CanWrite())
        throw failed();
    file.WriteString(Section, FormVersionKey, QStringLiteral("0"));
    for (int i = 0; i < Count; ++i)
        file.WriteString(Section, QLatin1String(Keys[i].Key), FValues[i]);
    for (int i = 0; i < DiodeCount; ++i) {
        if (FDiodes[i])
            file.WriteString(Section, DiodeKey(i + 1), *FDiodes[i]);
    }
    if (!file.Save())
        throw failed();
}

void TLaserSettings::Read(const QString& path) {
    const platform::TProfileFile file(path);
    // Text that is no whole number reads as 0, as a missing key does.
    bool ok = false;
    const int version = file.ReadString(Section, FormVersionKey, QString()).toInt(&ok);
    if (ok && version < 0)
        return;
    for (int i = 0; i < Count; ++i)
        FValues[i] = file.ReadString(Section, QLatin1String(Keys[i].Key), FValues[i]);
    for (int i = 0; i < DiodeCount; ++i) {
        const QString text = file.ReadString(Section, DiodeKey(i + 1), QString());
        if (!text.isEmpty())
            FDiodes[i] = text;
    }
}

double TLaserSettings::Real(TLaserSetting setting) const {
    const QString& text = FValues[Index(setting)];
    if (const std::optional<double> value = FNumbers.ToDouble(text))
        return *value;
    throw std::runtime_error(QStringLiteral("'%1' is not a valid number for %2 (decimal separator "
                                            "\"%3\")")
                                 .arg(text, Key(setting), FNumbers.DecimalSeparator())
                                 .toStdString());
}

int TLaserSettings::Ordinal(TLaserSetting setting, int low, int high) const {
    const int value = Integer(setting);
    if (value < low || value > high)
        throw std::runtime_error(QStringLiteral("'%1' is out of range for %2 (%3 to %4)")
                                     .arg(FValues[Index(setting)], Key(setting))
                                     .arg(low)
                                     .arg(high)
                                     .toStdString());
    return value;
}

std::optional<double> TLaserSettings::DiodeCurrent(int index) const {
    if (index < 1 || index > DiodeCount || !FDiodes[index - 1])
        return std::nullopt;
    const QString& text = *FDiodes[index - 1];
    if (const std::optional<double> value = FNumbers.ToDouble(text))
        return *value;
    throw std::runtime_error(QStringLiteral("'%1' is not a valid number for %2 (decimal separator "
                                            "\"%3\")")
                                 .arg(text, DiodeKey(index), FNumbers.DecimalSeparator())
                                 .toStdString());
}

int TLaserSettings::Integer(TLaserSetting setting) const {
    const double value = Real(setting);
    if (value < double(INT_MIN) - 0.5 || value > double(INT_MAX) + 0.5)
        throw std::runtime_error(QStringLiteral("'%1' is out of range for %2")
                                     .arg(FValues[Index(setting)], Key(setting))
                                     .toStdString());
    return RoundHalfEven(value);
}
