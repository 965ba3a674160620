#pragma once

#include "comm/PortData.h"

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QString>

#include <array>
#include <cstdint>

// The process's registry of ports 1..16. It owns every serial device and
// every relay connection, opens a port at most once however many channels
// hold it, runs command/reply transactions with a per-port reply time-out,
// and writes the optional communication trace into the event log.
//
// Port numbers are 1..16; every operation ignores (returns 0 / false for)
// numbers outside that range. A port is either a serial slot (its device
// path comes from platform::ComPortMap()) or, after SetNetworkAddress, a TCP
// relay connection; callers cannot tell the two apart.
//
// Failures are reported by results only (false, 0); nothing is thrown. A
// QCoreApplication must exist before the manager is created. One manager per
// process: constructing a second one throws std::logic_error.
//
// Everything runs on the thread that created the manager. Only the network
// connect wait (AcquirePort of a routed port, up to 10 s) processes events;
// a transaction blocks without processing events for at most the port's
// time-out, waiting for input without spinning.
class TConnectionManager : public QObject {
    Q_OBJECT
public:
    static constexpr int FirstPort = 1;
    static constexpr int LastPort = 16;
    static constexpr int DefaultTimeout = 1000;   // ms
    static constexpr int ConnectWait = 10000;     // ms
    static constexpr unsigned TransactChunk = 20; // bytes read per round

    // Runs the start-up probe over platform::ComPortMap(): each mapped slot's
    // device is opened once and closed; the ones that opened are Present.
    TConnectionManager();
    // The same with an explicit slot -> device path map (tests).
    explicit TConnectionManager(const QMap<int, QString>& portMap);
    // Runs ReleaseAllPorts, then unregisters.
    ~TConnectionManager() override;

    // True when the caller now holds the port. A routed port needs no Present
    // flag; its first acquire waits up to 10 s for the connection,
    // processing events meanwhile. Shared holders only raise a count; an
    // exclusive holder keeps everybody else out; nobody gains exclusive use
    // of a port that is held already.
    bool AcquirePort(int port, bool exclusive);
    // Lowers the count; at zero closes the serial device (a relay connection
    // stays up). Does nothing at a count of 0.
    void ReleasePort(int port);
    // Releases every holder of every port and drops every network routing.
    void ReleaseAllPorts();
    // Bit n set = serial slot n was present at start-up (n = 1..16).
    quint32 AvailablePorts() const { return FAvailablePorts; }

    // Copies at most maxLength bytes that have already arrived into buffer
    // and returns the count; never waits. The buffer must hold maxLength + 1
    // bytes: a NUL is stored after the bytes delivered.
    unsigned PortRead(int port, char* buffer, unsigned maxLength);
    // Writes length bytes; returns the count written, 0 on failure. A relay
    // port sends the bytes before the first NUL within length and returns
    // length whatever the socket took.
    unsigned PortWrite(int port, const char* buffer, unsigned length);
    // One exchange: purges the port, writes `command` (NUL-terminated), and
    // unless terminator is 0 collects the reply until the terminator arrives
    // or the port's time-out passes. `reply` must hold replySize + 1 bytes;
    // it is zero-filled first and receives at most replySize characters,
    // NUL-terminated, without the terminator. True when the terminator
    // arrived (or at once after the write with terminator 0); false on a
    // port neither open nor routed (nothing written) and on time-out (reply
    // then holds what arrived).
    bool PortTransact(int port, const char* command, char terminator, int replySize, char* reply);
    // Throws away everything received and not yet read (and pending output).
    void PurgePort(int port);
    // Bytes that have arrived and can be read without waiting.
    unsigned BytesAvailable(int port);
    // Reply time-out of the port in milliseconds (default 1000).
    void SetPortTimeout(int port, int milliseconds);
    int PortTimeout(int port) const;
    // Switches the communication trace on or off; stamps restart at 0.
    void SetTrace(bool enabled);
    bool Trace() const { return FTraceEnabled; }

    // Routes the port to a relay "host" or "host|port" (default port 1024),
    // replaces its routing, or removes it (empty address). True when a
    // routing was created or removed; false for an empty address on an
    // unrouted port and for the same host again (address without a bar),
    // which keeps the existing connection. Callers release the port first.
    bool SetNetworkAddress(int port, const QString& address);
    // Copies the port table (counts, exclusive flags, addresses). Always true.
    bool SavePorts();
    // Releases everything, then re-routes and re-acquires each port that was
    // held when saved, restoring its count whether or not the acquire
    // succeeded. False when nothing was saved.
    bool RestorePorts();

    // Read access to a port's record (tests, terminal).
    const TPortData& PortData(int port) const;
    // The device path the slot maps to; empty when the slot is unmapped.
    QString DevicePath(int port) const;

Q_SIGNALS:
    // An established relay connection was ended by an error (reset, failed
    // send or receive). Emitted from the event loop (queued), never from
    // inside a transaction; the application shows it to the user.
    void NetworkError(int port, const QString& message);

private:
    void Probe(const QMap<int, QString>& portMap);
    bool ValidPort(int port) const { return port >= FirstPort && port <= LastPort; }
    TPortData& Slot(int port) { return FPorts[static_cast<std::size_t>(port - 1)]; }
    const TPortData& Slot(int port) const { return FPorts[static_cast<std::size_t>(port - 1)]; }
    QSerialPort* OpenComPort(int port);
    bool WaitForConnection(int port);
    void DestroyConnection(int port);
    void StartReplyTimer(int port);
    bool ReplyTimedOut(int port);
    // Waits (without spinning) until input may be there or the deadline.
    void WaitForInput(int port);
    void TraceLine(const QByteArray& text);
    std::int64_t TraceMs() const;

    std::array<TPortData, LastPort> FPorts;
    std::array<TPortData, LastPort> FSavedPorts;
    bool FSaved = false;
    std::array<std::int64_t, LastPort> FDeadlines{};
    std::int64_t FTraceStart = 0;
    bool FTraceEnabled = false;
    quint32 FAvailablePorts = 0;
    QMap<int, QString> FDevicePaths;
};

// The process's manager, or nullptr when none exists.
TConnectionManager* ConnectionManager();
