#pragma once

#include "laser/StatusTables.h"
#include "tango/AttributeTable.h"

#include <array>
#include <string>
#include <vector>

// Where the station is with its laser.
enum class TStationPhase {
    Starting,     // the device has not started the station yet
    Discovering,  // looking for the laser
    Ready,        // found and polled
    NotFound,     // no laser answered; looked for again every few seconds
    Lost,         // stopped answering; looked for again every few seconds
    ResetFailure, // the supply failed to reset; waits for Init
};

// What the device serves between two polls: the station writes it on the
// Qt thread, Tango's threads read copies of it. Never holds a reference to
// the laser.
struct TLaserSnapshot {
    TStationPhase Phase = TStationPhase::Starting;
    // The derived status word of the last poll tick; meaningful in Ready.
    TLaserStatus Status = 0;
    bool CanFire = false;
    // Writes and commands whose callers stopped waiting and that have not
    // finished: the laser is busy with them (motors moving, say).
    int LateJobs = 0;
    // "Oltrin on COM1, firmware 2.10" once identified.
    std::string Laser;
    // Why the laser was not found, when it said why (firmware too old).
    std::string Problem;
    // Lines the operator should read in Status: a start setting that
    // failed, a refused stop, a late write that failed, no mailbox.
    std::vector<std::string> Notes;
    std::array<TAttrValue, AttrCount> Values{};

    friend bool operator==(const TLaserSnapshot&, const TLaserSnapshot&) = default;
};
