#include "comm/NetworkConnection.h"

#include <QTcpSocket>
#include <QThread>

TNetworkConnection::TNetworkConnection(const QString& host, quint16 remotePort)
    : FHost(host), FRemotePort(remotePort), FSocket(std::make_unique<QTcpSocket>()) {
    QTcpSocket* socket = FSocket.get();
    QObject::connect(socket, &QTcpSocket::connected, socket, [this] { FConnected = true; });
    QObject::connect(socket, &QTcpSocket::disconnected, socket, [this] { FConnected = false; });
    QObject::connect(socket, &QTcpSocket::readyRead, socket,
                     [this] { FReceived += FSocket->readAll(); });
    QObject::connect(socket, &QTcpSocket::errorOccurred, socket,
                     [this](QAbstractSocket::SocketError error) { OnError(error); });
}

TNetworkConnection::~TNetworkConnection() {
    // Signals must not reach a half-destroyed connection.
    FSocket->disconnect();
    FSocket->abort();
}

void TNetworkConnection::OnError(QAbstractSocket::SocketError error) {
    // The socket's own waits report running out of time as an error; that
    // is only the end of a wait, never a fault of the connection.
    if (error == QAbstractSocket::SocketTimeoutError)
        return;
    FLastError = static_cast<int>(error) + 1;
    if (!FConnected)
        return; // lookup or connect failed: the connect wait sees LastError
    // The peer closing (or resetting) the connection is the relay going
    // away, not an error: transactions time out and the routing remains.
    if (error == QAbstractSocket::RemoteHostClosedError)
        return;
    const QString message = QStringLiteral("Network connection to %1 port %2 failed: %3")
                                .arg(FHost)
                                .arg(FRemotePort)
                                .arg(FSocket->errorString());
    FConnected = false;
    FSocket->abort();
    if (FErrorHook)
        FErrorHook(message);
}

bool TNetworkConnection::Active() const {
    return FSocket->state() != QAbstractSocket::UnconnectedState;
}

void TNetworkConnection::Open() {
    FSocket->connectToHost(FHost, FRemotePort);
}

void TNetworkConnection::Collect() {
    if (!FConnected || FSocket->state() != QAbstractSocket::ConnectedState)
        return;
    // Pulls whatever the kernel holds into the socket's buffer (readyRead
    // appends it to Received) without waiting.
    FSocket->waitForReadyRead(0);
    if (FSocket->bytesAvailable() > 0)
        FReceived += FSocket->readAll();
}

bool TNetworkConnection::WaitForData(int milliseconds) {
    if (milliseconds <= 0)
        return false;
    const qsizetype before = FReceived.size();
    if (!FConnected || FSocket->state() != QAbstractSocket::ConnectedState) {
        // Nothing can arrive on a connection that is down; sleep instead of
        // polling so that the wait costs no processor time.
        QThread::msleep(static_cast<unsigned long>(milliseconds));
        return false;
    }
    FSocket->waitForReadyRead(milliseconds);
    if (FSocket->bytesAvailable() > 0)
        FReceived += FSocket->readAll();
    return FReceived.size() > before;
}

bool TNetworkConnection::Send(const char* bytes, qint64 length) {
    if (!FConnected || FSocket->state() != QAbstractSocket::ConnectedState || length <= 0)
        return false;
    if (FSocket->write(bytes, length) != length)
        return false;
    // No event loop runs during a transaction: hand the bytes to the kernel now.
    FSocket->flush();
    return true;
}
