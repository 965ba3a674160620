#pragma once

#include <QLabel>
#include <QPointer>
#include <QStatusBar>

class QLabel;
class TCVLaser;

// The status bar's read-outs of the laser: shots, hours, flow and
// temperature, each a panel that exists only when the laser can report the
// value. One panel is refreshed per poll tick, in turn, so that a tick never
// costs more than one exchange for the status bar.
//
// A read-out that fails (no reply, an error reply, garbage) shows "N/A"; no
// update raises.
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

    // Binds the laser and the status bar (neither owned) and rebuilds the
    // panels: shots always for an identified laser; hours, flow and
    // temperature when the laser answers them (one exchange each). Then
    // updates every panel.
    void Setup(TCVLaser* laser, QStatusBar* statusBar);
    void UpdateAll();
    // Refreshes the next panel in turn: shots, hours, flow, temperature.
    void UpdateNext();

    QLabel* ShotsPanel() const { return FShots; }
    QLabel* HoursPanel() const { return FHours; }
    QLabel* FlowPanel() const { return FFlow; }
    QLabel* TemperaturePanel() const { return FTemperature; }
    int Counter() const { return FCounter; }

private:
    QLabel* AddPanel(int width);
    void RemovePanels();
    void UpdateShots();
    void UpdateHours();
    void UpdateFlow();
    void UpdateTemperature();

    TCVLaser* FLaser = nullptr;
    QPointer<QStatusBar> FStatusBar;
    QPointer<QLabel> FShots;
    QPointer<QLabel> FHours;
    QPointer<QLabel> FFlow;
    QPointer<QLabel> FTemperature;
    int FCounter = 0;
};
