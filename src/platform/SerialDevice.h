#pragma once

#include <QString>

#include <memory>

class QSerialPort;

namespace platform {

// Opens a serial device for the laser line: exclusive (Qt's UUCP lock file
// plus TIOCEXCL keep other programs off the port), read and write, 9600
// baud, 8 data bits, no parity, 1 stop bit, no flow control, DTR and RTS off.
// Devices without modem lines (a pty) refuse DTR/RTS; that error is ignored
// and cleared.
//
// Returns nullptr on failure. When the failure is a lack of permission, an
// entry naming the device path with a hint about the dialout group is
// written to the event log. A QCoreApplication must exist.
std::unique_ptr<QSerialPort> OpenSerialDevice(const QString& devicePath);

// The event log text for a device that could not be opened for lack of
// permission.
QString PermissionDeniedText(const QString& devicePath);

} // namespace platform
