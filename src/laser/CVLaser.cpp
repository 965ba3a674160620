// Construction, shutdown and the connection of the laser object.
#include "laser/CVLaser.h"

#include "comm/ConnectionManager.h"
#include "comm/GenericController.h"
#include "laser/BusyScope.h"
#include "platform/Ticks.h"

#include <QThread>

TLaserTiming TLaserTiming::System() {
    return {[] { return platform::TickCount(); },
            [](int ms) {
                if (ms > 0)
                    QThread::msleep(static_cast<unsigned long>(ms));
            }};
}

TCVLaser::TCVLaser()
    : FController(std::make_unique<TGenericController>(QByteArrayLiteral(";LA"))),
      FHarmonics(1, THarmonicEntry{0, 1, 0, 0}) {}

TCVLaser::~TCVLaser() {
    Shutdown();
}

void TCVLaser::Shutdown() {
    FHarmonicCount = 0;
    FHarmonics.clear();
    // A laser given up may still be on the line; it is switched off all the
    // same.
    FGivenUp = false;
    if (FConnected) {
        // Power off, then hand the laser back to its remote box. The box
        // answers "ok" to SM0, but nobody is left to read it.
        try {
            DoCommand(QByteArrayLiteral("OF"), true);
            DoCommand(QByteArrayLiteral("SM0"), false);
        } catch (...) {
        }
    }
    // Runs in the destructor: a port that cannot be released (the
    // connection manager may already be gone) must not end the program.
    try {
        Disconnect();
    } catch (...) {
        FConnected = false;
        FIdentified = false;
    }
}

void TCVLaser::ThrowError(int code) {
    throw ELaserError(code);
}

void TCVLaser::Pause(int milliseconds) {
    const TBusyScope busy(FBusyDepth);
    FTiming.Pause(milliseconds);
}

bool TCVLaser::OpenPort(int port) {
    const TBusyScope busy(FBusyDepth);
    Disconnect();
    FPortNumber = port;
    if (!FActive || port <= 0)
        return FConnected;
    TConnectionManager* manager = ConnectionManager();
    if (!FNetworkConnection.isEmpty() && manager)
        manager->SetNetworkAddress(port, FNetworkConnection);
    FConnected = manager && FController->Open(port);
    if (!FConnected)
        ThrowError(leOpenPort);
    manager->SetPortTimeout(port, ReplyTimeout);
    return FConnected;
}

void TCVLaser::Disconnect() {
    if (!FConnected)
        return;
    FController->Close();
    FConnected = false;
    FIdentified = false;
}

void TCVLaser::SetPortNumber(int port) {
    Disconnect();
    FIdentified = false;
    if (port >= 1)
        OpenPort(port);
    FIdentified = false;
}

void TCVLaser::SetNetworkConnection(const QString& address) {
    FNetworkConnection = address;
    if (!FActive)
        return;
    Disconnect();
    OpenPort(FPortNumber);
}

QString TCVLaser::GetLaserTypeName() const {
    return lasermodel::TypeName(FLaserType);
}

int TCVLaser::GetDiodeCount() const {
    return lasermodel::DiodeCount(FLaserType);
}

float TCVLaser::GetDiodeCurrent(int index) const {
    if (index == 1 && index <= GetDiodeCount())
        return FDiode1Current;
    if (index == 2 && index <= GetDiodeCount())
        return FDiode2Current;
    return -1.0f;
}
