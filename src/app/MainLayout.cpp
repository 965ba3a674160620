// Which controls a laser gets: after each identification only the controls
// of the hardware the laser reports stay visible.
#include "app/LCMain.h"

#include "controls/KxDropBtn.h"
#include "controls/KxIndicator.h"
#include "controls/KxSpeedButton.h"
#include "controls/KxUpDown.h"
#include "controls/Switch.h"
#include "laser/CVLaser.h"

#include <QAction>
#include <QFrame>

namespace {

// Shown or hidden whether or not the window is on the screen yet.
void Show(QWidget* control, bool shown) {
    control->setHidden(!shown);
}

bool Shown(const QWidget* control) {
    return !control->isHidden();
}

} // namespace

void TformMain::LayoutForLaser() {
    const TCVLaser& laser = *FLaser;
    const int type = FLaser->GetLaserType();
    const int diodes = laser.GetDiodeCount();

    Show(btnVoltage, laser.HasOption(loVariableVoltage) && type != 5 && type != 8);
    Show(updownPFN, Shown(btnVoltage));
    Show(sep3, Shown(btnVoltage));
    Show(btnDiode1, diodes >= 1);
    Show(updownDiode1, Shown(btnDiode1));
    Show(sep4, Shown(btnDiode1));
    Show(btnDiode2, diodes >= 2);
    Show(updownDiode2, Shown(btnDiode2));
    Show(sep5, Shown(btnDiode2));
    Show(btnEnergy, laser.HasOption(loAttenuator));
    Show(updownEnergy, Shown(btnEnergy));
    Show(switchEnergyMode, laser.HasOption(loOutputRange));

    const quint8 offered = laser.Wavelengths();
    int wavelengths = 0;
    for (int w = wlIR; w <= wlUV; ++w)
        wavelengths += (offered >> w) & 1;
    Show(btnWavelength, wavelengths >= 2);
    Show(sep6, Shown(btnWavelength));
    menuLaserIR->setEnabled(offered & (1u << wlIR));
    menuLaserGreen->setEnabled(offered & (1u << wlGreen));
    menuLaserUV->setEnabled(offered & (1u << wlUV));

    Show(panelMarker, laser.HasOption(loApertureWidth));
    Show(btnXYShutterRotation, laser.HasOption(loXYTheta));
    Show(updownTheta, laser.HasOption(loXYTheta));
    Show(btnRotatingPolarizer, laser.HasOption(loPolarizer));
    Show(updownRotatingPolarizer, laser.HasOption(loPolarizer));

    // The pulse width shows only for a laser that answers its query.
    Show(btnPulseWidth, false);
    const int pulseMode = FLaser->QueryDecimal(QByteArrayLiteral("PM?"), -1);
    if (pulseMode >= 0 && laser.HasOption(loPulseWidth)) {
        ApplyPulseWidth(pulseMode == 1);
        Show(btnPulseWidth, true);
    }
    Show(sep10, Shown(btnPulseWidth));

    Show(btnLED, laser.HasOption(loLED));
    Show(updownLED, Shown(btnLED));
    Show(sep9, Shown(btnLED));
    Show(indBurstLock, type == 2 || type == 6 || type == 7);
    Show(indCoolantLow, type == 1 || type == 3);
}
