#pragma once

#include "tango/LaserSnapshot.h"

#include <string>

// The device's state, named as Tango names them (the device maps them).
enum class TDeviceState { Init, Fault, Alarm, Moving, Running, On, Standby };

struct TDeviceView {
    TDeviceState State = TDeviceState::Init;
    std::string Status;
    friend bool operator==(const TDeviceView&, const TDeviceView&) = default;
};

// The status bits that put the device in ALARM: every fault the poll stops
// firing for (START alone is a laser warming up), and COOLANT_LOW.
TLaserStatus AlarmBits();

// State and status text of a snapshot. INIT while starting or discovering;
// FAULT for a laser not found, lost or with a supply reset failure; when
// polled, ALARM while an alarm bit stands (the text names them), MOVING while
// a late write runs, RUNNING while firing, ON with the supply on or
// starting, STANDBY otherwise. The text's first line says that, the next
// one which laser it is, then one line per note.
TDeviceView ViewOf(const TLaserSnapshot& snapshot);
