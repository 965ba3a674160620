// Which controls a laser gets: after each identification only the controls
// of the hardware the laser reports stay visible; each bar lays itself out.
#include "app/LCMain.h"

#include "app/toolbars/FiringRow.h"
#include "app/toolbars/MainMenus.h"
#include "app/toolbars/OptionsBar.h"
#include "app/toolbars/OutputRow.h"
#include "app/toolbars/StatusPanel.h"
#include "laser/CVLaser.h"

void TformMain::LayoutForLaser() {
    const TCVLaser& laser = *FLaser;
    FOutputRow->LayoutFor(laser);
    FMenus->LayoutFor(laser);
    FOptionsBar->LayoutFor(laser);
    // The pulse width shows only for a laser that answers its query; the
    // answer is applied first.
    const int pulseMode = FLaser->QueryDecimal(QByteArrayLiteral("PM?"), -1);
    const bool pulseWidth = pulseMode >= 0 && laser.HasOption(loPulseWidth);
    if (pulseWidth)
        ApplyPulseWidth(pulseMode == 1);
    FFiringRow->LayoutFor(laser, pulseWidth);
    FStatusPanel->LayoutFor(laser);
}
