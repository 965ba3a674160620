// Output and optics: attenuator, PFN voltage, diode currents, output range,
// illuminator, pulse width, wavelength, aperture, rotation and polarizer.
// Each apply sets the laser and then shows the value the laser holds.
#include "app/LCMain.h"

#include "app/toolbars/FiringRow.h"
#include "app/toolbars/OptionsBar.h"
#include "app/toolbars/OutputRow.h"
#include "controls/FloatFormat.h"
#include "laser/CVLaser.h"
#include "session/Rounding.h"

#include <QApplication>

#include <cmath>
#include <optional>
#include <stdexcept>

namespace {

QString OneDecimal(float value) {
    return QString::asprintf("%.1f", double(value));
}

// A whole number as the operator types it: blanks around it, an optional
// sign, decimal digits, within the int range.
std::optional<int> ParseInteger(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

void TformMain::PromptPercent(const QString& caption, const QString& prompt, float current,
                              const std::function<void(float)>& apply) {
    QString text = OneDecimal(current);
    if (!FDialogs->InputQuery(caption, prompt, text))
        return;
    try {
        const std::optional<double> value = ParseFloat(text);
        if (!value || !std::isfinite(*value))
            throw std::invalid_argument("not a number");
        apply(float(*value));
    } catch (const std::exception&) {
        // A laser given up while the prompt was open is no bad value.
        if (FLaser->GivenUp())
            throw;
        FDialogs->ShowMessage(QStringLiteral("Invalid value"));
    }
}

void TformMain::PromptInteger(const QString& caption, const QString& prompt, int current, int low,
                              int high, const std::function<void(int)>& apply) {
    QString text = QString::number(current);
    if (!FDialogs->InputQuery(caption, prompt, text))
        return;
    try {
        const std::optional<int> value = ParseInteger(text);
        if (!value || *value < low || *value > high)
            throw std::invalid_argument("not an integer in range");
        apply(*value);
    } catch (const std::exception&) {
        if (FLaser->GivenUp())
            throw;
        FDialogs->ShowMessage(QStringLiteral("Oops, invalid value"));
    }
}

// ---- Attenuator, PFN voltage, diodes, illuminator ---------------------------

void TformMain::ApplyOutputLevel(float percent) {
    FLaser->SetOutputLevel(percent);
    FOutputRow->ShowOutputLevel(FLaser->OutputLevel());
}

void TformMain::btnEnergyClick() {
    PromptPercent(QStringLiteral("Set Energy"), QStringLiteral("Enter laser energy (0-100%):"),
                  FLaser->OutputLevel(), [this](float v) { ApplyOutputLevel(v); });
}

void TformMain::updownEnergyUpClick() {
    ApplyOutputLevel(FLaser->OutputLevel() + 1);
}

void TformMain::updownEnergyDownClick() {
    ApplyOutputLevel(FLaser->OutputLevel() - 1);
}

void TformMain::ApplyPFNVoltage(float percent) {
    FLaser->SetPFNVoltage(percent);
    FOutputRow->ShowPFNVoltage(FLaser->PFNVoltage());
}

void TformMain::btnVoltageClick() {
    PromptPercent(QStringLiteral("Set Voltage"), QStringLiteral("Enter voltage (0-100%):"),
                  FLaser->PFNVoltage(), [this](float v) { ApplyPFNVoltage(v); });
}

void TformMain::updownPFNUpClick() {
    ApplyPFNVoltage(FLaser->PFNVoltage() + 1);
}

void TformMain::updownPFNDownClick() {
    ApplyPFNVoltage(FLaser->PFNVoltage() - 1);
}

float TformMain::GetDiodePercent(int index) const {
    return FLaser->GetDiodeCurrent(index);
}

void TformMain::ApplyDiodeCurrent(int index, float percent) {
    FLaser->SetDiodeCurrent(index, percent);
    FOutputRow->ShowDiodeCurrents(FLaser->GetDiodeCurrent(1), FLaser->GetDiodeCurrent(2));
}

void TformMain::DiodeCurrentClick(int index) {
    PromptPercent(QStringLiteral("Set Current"), QStringLiteral("Enter current (0-100%):"),
                  GetDiodePercent(index), [this, index](float v) { ApplyDiodeCurrent(index, v); });
}

void TformMain::updownDiode1UpClick() {
    ApplyDiodeCurrent(1, GetDiodePercent(1) + 1);
}

void TformMain::updownDiode1DownClick() {
    ApplyDiodeCurrent(1, GetDiodePercent(1) - 1);
}

void TformMain::updownDiode2UpClick() {
    ApplyDiodeCurrent(2, GetDiodePercent(2) + 1);
}

void TformMain::updownDiode2DownClick() {
    ApplyDiodeCurrent(2, GetDiodePercent(2) - 1);
}

void TformMain::ApplyMarkerLevel(float percent) {
    FLaser->SetMarkerLevel(percent);
    FOptionsBar->ShowMarkerLevel(FLaser->MarkerLevel());
}

void TformMain::btnLEDClick() {
    PromptPercent(QStringLiteral("Set Brightness"),
                  QStringLiteral("Enter brightness value (0-100%):"), FLaser->MarkerLevel(),
                  [this](float v) { ApplyMarkerLevel(v); });
}

void TformMain::updownLEDUpClick() {
    ApplyMarkerLevel(FLaser->MarkerLevel() + 1);
}

void TformMain::updownLEDDownClick() {
    ApplyMarkerLevel(FLaser->MarkerLevel() - 1);
}

// ---- Output range, pulse width, wavelength ----------------------------------

void TformMain::ApplyOutputRange(TOutputRange range) {
    SetFiring(false);
    FLaser->SetOutputRange(range);
    FOutputRow->ShowOutputRange(FLaser->OutputRange() == erHigh);
}

void TformMain::switchEnergyModeClick() {
    ApplyOutputRange(FOutputRow->RangeHigh() ? erHigh : erLow);
}

void TformMain::ApplyPulseWidth(bool longPulse) {
    FLaser->SetLongPulse(longPulse);
    FFiringRow->ShowPulseWidth(longPulse);
}

void TformMain::btnPulseWidthClick() {
    ApplyPulseWidth(!FLaser->GetLongPulse());
}

void TformMain::ApplyWavelength(int wavelength) {
    SetFiring(false);
    if (!FLaser->HasOption(loHarmonicSets))
        return;
    // The harmonic set moves motors; the wait shows as the hourglass.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        FLaser->SetWavelength(TWavelength(qBound(0, wavelength, 255)));
    } catch (...) {
        QApplication::restoreOverrideCursor();
        throw;
    }
    QApplication::restoreOverrideCursor();
    const TWavelength now = FLaser->Wavelength();
    if (now > wlUV)
        throw std::logic_error("Unsupported wavelength");
    FOptionsBar->ShowWavelength(now);
}

void TformMain::btnWavelengthClick() {
    // The next wavelength the laser offers, after the current one.
    int next = int(FLaser->Wavelength());
    for (int step = 0; step < 3; ++step) {
        next = next >= 2 ? 0 : next + 1;
        if (FLaser->Wavelengths() & (1u << next)) {
            ApplyWavelength(next);
            return;
        }
    }
}

void TformMain::menuLaserIRClick() {
    ApplyWavelength(wlIR);
}

void TformMain::menuLaserGreenClick() {
    ApplyWavelength(wlGreen);
}

void TformMain::menuLaserUVClick() {
    ApplyWavelength(wlUV);
}

void TformMain::menuShortPulseClick() {
    ApplyPulseWidth(false);
}

void TformMain::menuLongPulseClick() {
    ApplyPulseWidth(true);
}

// ---- Aperture ---------------------------------------------------------------

void TformMain::ApplyAperture(float height, float width) {
    // The adjusters are written without their change events, so one call
    // sends one width and one height command whoever called it.
    FLaser->SetApertureWidth(width);
    FOptionsBar->ShowAperture(FOptionsBar->ApertureHeight(), width);
    FLaser->SetApertureHeight(height);
    FOptionsBar->ShowAperture(height, width);
}

void TformMain::adjAperValueChange() {
    ApplyAperture(FOptionsBar->ApertureHeight(), FOptionsBar->ApertureWidth());
}

// ---- Rotation and polarizer -------------------------------------------------

void TformMain::ApplyXYTheta(float degrees) {
    const int theta = RoundHalfEven(double(degrees));
    if (theta != FLaser->XYTheta())
        FLaser->SetXYTheta(theta);
    FOptionsBar->ShowXYTheta(FLaser->XYTheta());
}

void TformMain::btnXYShutterRotationClick() {
    PromptInteger(QStringLiteral("Set XY Shutter Rotation Angle"),
                  QStringLiteral("Enter theta from -90 to +90 degrees:"), FLaser->XYTheta(), -90,
                  90, [this](int v) { ApplyXYTheta(float(v)); });
}

void TformMain::updownThetaUpClick() {
    if (FLaser->XYTheta() < 90)
        ApplyXYTheta(float(FLaser->XYTheta() + 1));
}

void TformMain::updownThetaDownClick() {
    if (FLaser->XYTheta() > -90)
        ApplyXYTheta(float(FLaser->XYTheta() - 1));
}

void TformMain::ApplyPolarizerAngle(float degrees) {
    const int angle = RoundHalfEven(double(degrees));
    if (angle != FLaser->PolarizerAngle())
        FLaser->SetPolarizerAngle(angle);
    FOptionsBar->ShowPolarizerAngle(FLaser->PolarizerAngle());
}

void TformMain::btnRotatingPolarizerClick() {
    PromptInteger(QStringLiteral("Set Polarizer Rotation Angle"),
                  QStringLiteral("Enter angle from 0 to 180 degree:"), FLaser->PolarizerAngle(), 0,
                  180, [this](int v) { ApplyPolarizerAngle(float(v)); });
}

void TformMain::updownRotatingPolarizerUpClick() {
    if (FLaser->PolarizerAngle() <= 178)
        ApplyPolarizerAngle(float(FLaser->PolarizerAngle() + 2));
}

void TformMain::updownRotatingPolarizerDownClick() {
    if (FLaser->PolarizerAngle() > 1)
        ApplyPolarizerAngle(float(FLaser->PolarizerAngle() - 2));
}
