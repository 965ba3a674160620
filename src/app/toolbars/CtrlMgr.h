#pragma once

#include <vector>

class QWidget;

// One control of a managed toolbar, as it stood at design time.
struct TCtrlRecord {
    // Not owned.
    QWidget* Control = nullptr;
    // Pixels from the right edge of the control before it in the same row, or
    // from the toolbar's left edge for the first control of a row; negative
    // where controls overlap.
    int Gap = 0;
    // Design row: 0 for the topmost design top, 1 for the next, and so on.
    int Row = 0;
};

// Closes the gaps that hidden controls leave in a toolbar.
//
// The records are taken once, at construction, from the toolbar's direct
// child widgets (hidden ones included) and sorted by design top, then left.
// Arrange then moves every visible control so that it stands its design gap
// to the right of the visible control before it. The running left coordinate
// is not reset where a design row ends, so the left coordinates only keep the
// controls in order; a TToolBar turns that order into rows.
class TCtrlMgr {
public:
    // Must be called while every control still has its design position and
    // visibility. The toolbar is not owned and must outlive the manager, as
    // must its controls.
    explicit TCtrlMgr(QWidget* toolbar);

    // Moves each visible control to the running left coordinate plus its gap,
    // keeping its top; hidden controls keep their positions. On a TToolBar,
    // hands the toolbar the order and lets it lay out its rows.
    void Arrange();

    QWidget* Toolbar() const { return FToolbar; }
    // In design order: by top, then by left.
    const std::vector<TCtrlRecord>& Records() const { return FRecords; }

private:
    QWidget* FToolbar;
    std::vector<TCtrlRecord> FRecords;
};
