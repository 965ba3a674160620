#pragma once

#include "session/Readouts.h"

#include <QLabel>
#include <QPointer>
#include <QStatusBar>

class QLabel;

// The status bar's read-outs of the laser: shots, hours, flow and
// temperature, each a panel that exists only when the laser can report the
// value. The poll reads one value per tick, in turn (TReadouts); the panel
// of that value is refreshed. An unavailable value shows "N/A".
class TStatMgr {
public:
    static constexpr int ShotsWidth = 120;
    static constexpr int HoursWidth = 90;
    static constexpr int FlowWidth = 80;
    static constexpr int TemperatureWidth = 90;

    TStatMgr() = default;
    ~TStatMgr();
    TStatMgr(const TStatMgr&) = delete;
    TStatMgr& operator=(const TStatMgr&) = delete;

    // Binds the read-outs and the status bar (neither owned) and rebuilds
    // the panels, one for each read-out present, then shows every value.
    void Setup(const TReadouts* readouts, QStatusBar* statusBar);
    void ShowAll();
    // Shows the value of `kind` in its panel, if it has one.
    void Show(TReadouts::TKind kind);

    QLabel* ShotsPanel() const { return FPanels[TReadouts::rkShots]; }
    QLabel* HoursPanel() const { return FPanels[TReadouts::rkHours]; }
    QLabel* FlowPanel() const { return FPanels[TReadouts::rkFlow]; }
    QLabel* TemperaturePanel() const { return FPanels[TReadouts::rkTemperature]; }

private:
    void RemovePanels();

    const TReadouts* FReadouts = nullptr;
    QPointer<QStatusBar> FStatusBar;
    std::array<QPointer<QLabel>, TReadouts::Count> FPanels;
};
