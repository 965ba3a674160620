#pragma once

#include "laser/StatusTables.h"

#include <QString>

class QFrame;
class QLabel;
class TCVLaser;
class TKxIndicator;

// The bottom panel: the interlock and status lamps, lit from the derived
// status word, and the status text at the right.
class TStatusPanel {
public:
    TStatusPanel();

    // The panel, for the window's layout (a new widget the caller takes).
    QFrame* Panel() const { return panelStatus; }

    // Burst Lock for laser types 2, 6 and 7, Coolant Low for types 1 and 3,
    // neither for the others; they share one place.
    void LayoutFor(const TCVLaser& laser);
    // Start, Flow, Temp, Ext, Work, Burst Lock and Coolant Low, in this order.
    void UpdateIndicators(TLaserStatus status);
    // The text and one blank, painted at once so that it shows during a
    // long operation.
    void ShowStatus(const QString& text);

private:
    QFrame* panelStatus = nullptr;
    TKxIndicator* indStart = nullptr;
    TKxIndicator* indFlow = nullptr;
    TKxIndicator* indTemp = nullptr;
    TKxIndicator* indExt = nullptr;
    TKxIndicator* indWork = nullptr;
    TKxIndicator* indBurstLock = nullptr;
    TKxIndicator* indCoolantLow = nullptr;
    QLabel* labelStatus = nullptr;
};
