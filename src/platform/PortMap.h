#pragma once

#include <QMap>
#include <QString>

namespace platform {

inline constexpr int FirstComSlot = 1;
inline constexpr int LastComSlot = 16;

// How COM slots 1..16 map to serial devices on this machine.
//
// When the environment variable TREVALON_PORTS is set, it is the whole map:
// "1=/dev/ttyUSB0,3=/dev/serial/by-id/usb-FTDI_laser-if00" (only the listed
// slots exist; entries outside 1..16 or without a path are ignored).
// Otherwise the slots take, in order, the devices that the serial port
// listing reports: USB adapters (ttyUSB*, ttyACM*) first, then the rest,
// each group sorted by name with numbers in names compared by value
// (ttyUSB2 before ttyUSB10).
QMap<int, QString> ComPortMap();

// Parses a TREVALON_PORTS value; exposed for tests.
QMap<int, QString> ParsePortMap(const QString& text);

// Orders listed device paths into slots as described above; exposed for tests.
QMap<int, QString> SlotsFromListing(const QStringList& devicePaths);

} // namespace platform
