#include "platform/SerialDevice.h"

#include <QFile>
#include <QSerialPort>

#include <cerrno>

#include <unistd.h>

namespace platform {

namespace {

// Qt reports a lock file held by another program and a device the user may
// not open with the same error code; only the second one deserves the hint.
bool LacksPermission(const QString& devicePath) {
    const QByteArray path = QFile::encodeName(devicePath);
    return ::access(path.constData(), R_OK | W_OK) != 0 && errno == EACCES;
}

} // namespace

QString PermissionDeniedText(const QString& devicePath) {
    return QStringLiteral("Cannot open serial device %1: permission denied. "
                          "Add the user to the dialout group "
                          "(sudo usermod -aG dialout $USER) and log in again.")
        .arg(devicePath);
}

std::unique_ptr<QSerialPort> OpenSerialDevice(const QString& devicePath, bool* permissionDenied) {
    if (permissionDenied)
        *permissionDenied = false;
    if (devicePath.isEmpty())
        return nullptr;
    auto device = std::make_unique<QSerialPort>();
    device->setPortName(devicePath);
    if (!device->open(QIODevice::ReadWrite)) {
        if (permissionDenied && device->error() == QSerialPort::PermissionError)
            *permissionDenied = LacksPermission(devicePath);
        return nullptr;
    }
    // The line settings go first: they are what the laser needs, while the
    // modem lines below are only a courtesy to adapters that wire them.
    if (!device->setBaudRate(QSerialPort::Baud9600) || !device->setDataBits(QSerialPort::Data8) ||
        !device->setParity(QSerialPort::NoParity) || !device->setStopBits(QSerialPort::OneStop) ||
        !device->setFlowControl(QSerialPort::NoFlowControl)) {
        device->close();
        return nullptr;
    }
    // A pty has no modem lines and answers "inappropriate ioctl"; the line
    // works all the same, so the error is dropped.
    if (!device->setDataTerminalReady(false) || !device->setRequestToSend(false))
        device->clearError();
    device->clearError();
    return device;
}

} // namespace platform
