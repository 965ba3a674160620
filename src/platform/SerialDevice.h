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
// Returns nullptr on failure; *permissionDenied (when given) then says
// whether the user lacks read/write permission on the device, as opposed to
// the device being missing or held by another program. The caller logs
// PermissionDeniedText for it. A QCoreApplication must exist.
std::unique_ptr<QSerialPort> OpenSerialDevice(const QString& devicePath,
                                              bool* permissionDenied = nullptr);

// The event log text for a device that could not be opened for lack of
// permission: the device path and a hint about the dialout group.
QString PermissionDeniedText(const QString& devicePath);

} // namespace platform
