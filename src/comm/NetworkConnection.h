#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class QTcpSocket;

// The TCP connection a port number is routed to: the relay host carries the
// laser's line protocol byte for byte. Owned by the connection manager.
//
// The socket's four events (connected, disconnected, data arrived, error)
// are bound at creation and are delivered whenever Qt processes events or
// inside the socket's own waits. Nothing here ever throws: an error while
// connected aborts the connection (reads then return nothing and writes send
// nothing, so transactions time out) and calls the error hook; an error
// while not connected (lookup failed, refused) is only recorded in
// LastError for the connect wait.
class TNetworkConnection {
public:
    // Called with a readable message after an error ended an established
    // connection. Called from inside socket event handling: it must not
    // destroy the connection (the manager queues it to its own signal).
    using ErrorHook = std::function<void(const QString& message)>;

    // The socket is created inactive with this host and remote port; nothing
    // is connected yet.
    TNetworkConnection(const QString& host, quint16 remotePort);
    ~TNetworkConnection(); // aborts the connection
    TNetworkConnection(const TNetworkConnection&) = delete;
    TNetworkConnection& operator=(const TNetworkConnection&) = delete;

    void SetErrorHook(ErrorHook hook) { FErrorHook = std::move(hook); }

    const QString& Host() const { return FHost; }
    quint16 RemotePort() const { return FRemotePort; }

    // A connect event was seen and no disconnect since.
    bool Connected() const { return FConnected; }
    // Code of the last socket error plus one; 0 when none since the last
    // ClearLastError (QAbstractSocket's first error code is 0 itself).
    int LastError() const { return FLastError; }
    void ClearLastError() { FLastError = 0; }

    // The socket is looking up, connecting, connected or closing.
    bool Active() const;
    // Starts the lookup and connect in the background (no wait).
    void Open();

    // Appends what the socket has received so far to Received, without
    // waiting; nothing when not connected.
    void Collect();
    // Waits at most `milliseconds` for more bytes and collects them. Returns
    // true when Received grew. Sleeps out the time when not connected.
    bool WaitForData(int milliseconds);
    QByteArray& Received() { return FReceived; }

    // Sends `length` bytes; nothing when not connected. Returns whether the
    // socket took them.
    bool Send(const char* bytes, qint64 length);

    QTcpSocket* Socket() const { return FSocket.get(); }

private:
    void OnError(QAbstractSocket::SocketError error);

    QString FHost;
    quint16 FRemotePort;
    std::unique_ptr<QTcpSocket> FSocket;
    bool FConnected = false;
    int FLastError = 0;
    QByteArray FReceived;
    ErrorHook FErrorHook;
};
