#include "comm/ConnectionManager.h"

#include "comm/NetworkAddress.h"
#include "comm/NetworkConnection.h"
#include "comm/ReplyAssembler.h"
#include "comm/TraceText.h"
#include "diag/ExcMagic.h"
#include "platform/PortMap.h"
#include "platform/SerialDevice.h"
#include "platform/Ticks.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSerialPort>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

TConnectionManager* theManager = nullptr;

const TPortData NoPort{};

} // namespace

TConnectionManager* ConnectionManager() {
    return theManager;
}

TConnectionManager::TConnectionManager() : TConnectionManager(platform::ComPortMap()) {}

TConnectionManager::TConnectionManager(const QMap<int, QString>& portMap) {
    if (theManager)
        throw std::logic_error("Only one instance of TConnectionManager allowed");
    Probe(portMap);
    theManager = this;
}

TConnectionManager::~TConnectionManager() {
    ReleaseAllPorts();
    for (TPortData& data : FPorts) {
        delete data.Handle;
        data.Handle = nullptr;
    }
    if (theManager == this)
        theManager = nullptr;
}

void TConnectionManager::Probe(const QMap<int, QString>& portMap) {
    FDevicePaths = portMap;
    FAvailablePorts = 0;
    for (int port = FirstPort; port <= LastPort; ++port) {
        TPortData& data = Slot(port);
        data = TPortData{};
        QSerialPort* handle = OpenComPort(port);
        data.Present = handle != nullptr;
        delete handle;
        if (data.Present)
            FAvailablePorts |= 1u << port;
    }
    FSavedPorts = FPorts;
    FSaved = false;
    FTraceEnabled = false;
}

QSerialPort* TConnectionManager::OpenComPort(int port) {
    const QString path = FDevicePaths.value(port);
    if (path.isEmpty())
        return nullptr;
    bool denied = false;
    std::unique_ptr<QSerialPort> device = platform::OpenSerialDevice(path, &denied);
    if (denied) {
        if (TExcMagic* log = TExcMagic::Instance())
            log->WriteEntry(platform::PermissionDeniedText(path).toLocal8Bit(), true);
    }
    return device.release();
}

const TPortData& TConnectionManager::PortData(int port) const {
    return ValidPort(port) ? Slot(port) : NoPort;
}

QString TConnectionManager::DevicePath(int port) const {
    return FDevicePaths.value(port);
}

bool TConnectionManager::AcquirePort(int port, bool exclusive) {
    if (!ValidPort(port))
        return false;
    TPortData& data = Slot(port);
    if (!data.Connection && !data.Present)
        return false;
    if (data.OpenCount > 0) {
        if (data.Exclusive || exclusive)
            return false;
        ++data.OpenCount;
        return true;
    }
    bool opened = false;
    if (data.Connection) {
        opened = WaitForConnection(port);
    } else {
        delete data.Handle;
        data.Handle = OpenComPort(port);
        opened = data.Handle != nullptr;
    }
    if (!opened)
        return false;
    // The connect wait processes events, and a handler run inside it may
    // have acquired the same port meanwhile: its claim is kept and the
    // sharing rules decide about this one.
    TPortData& after = Slot(port);
    if (after.OpenCount > 0) {
        if (after.Exclusive || exclusive)
            return false;
        ++after.OpenCount;
        return true;
    }
    after.Exclusive = exclusive;
    after.OpenCount = 1;
    TraceLine(comm::TracePortLine(TraceMs(), port, "OPENED"));
    return true;
}

bool TConnectionManager::WaitForConnection(int port) {
    TNetworkConnection* connection = Slot(port).Connection;
    if (!connection->Active())
        connection->Open();
    const std::int64_t deadline = platform::TickCount() + ConnectWait;
    connection->ClearLastError();
    // Events are processed while waiting (timers, input, other sockets), but
    // the wait sleeps in the event dispatcher instead of polling it; the
    // timer bounds each sleep. No nested QEventLoop: once the application
    // has been told to quit (the window closed during the wait), Qt refuses
    // to run event loops, and the wait would spin without seeing the socket.
    QTimer wake;
    wake.setSingleShot(true);
    while (Slot(port).Connection == connection && !connection->Connected() &&
           connection->LastError() == 0) {
        const std::int64_t left = deadline - platform::TickCount();
        if (left < 0)
            break;
        wake.start(static_cast<int>(std::min<std::int64_t>(left + 1, 100)));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    // Whatever ran inside the wait may have removed or replaced the routing.
    return Slot(port).Connection == connection && connection->Connected();
}

void TConnectionManager::ReleasePort(int port) {
    if (!ValidPort(port))
        return;
    TPortData& data = Slot(port);
    if (data.OpenCount <= 0)
        return;
    if (--data.OpenCount > 0)
        return;
    // A serial device is closed even when a routing was laid over the port
    // while it was held, so that no handle is left behind.
    delete data.Handle;
    data.Handle = nullptr;
    TraceLine(comm::TracePortLine(TraceMs(), port, "CLOSED"));
}

void TConnectionManager::DestroyConnection(int port) {
    TPortData& data = Slot(port);
    delete data.Connection;
    data.Connection = nullptr;
    data.Address.clear();
}

void TConnectionManager::ReleaseAllPorts() {
    for (int port = FirstPort; port <= LastPort; ++port) {
        while (Slot(port).OpenCount > 0)
            ReleasePort(port);
        DestroyConnection(port);
    }
}

unsigned TConnectionManager::BytesAvailable(int port) {
    if (!ValidPort(port))
        return 0;
    TPortData& data = Slot(port);
    if (data.Connection)
        return static_cast<unsigned>(data.Connection->Received().size());
    if (!data.Handle || !data.Handle->isOpen())
        return 0;
    // Bytes a wait has already pulled in are counted without asking the
    // driver again; otherwise what it holds is pulled in without waiting.
    qint64 count = data.Handle->bytesAvailable();
    if (count <= 0) {
        data.Handle->waitForReadyRead(0);
        count = data.Handle->bytesAvailable();
    }
    data.Handle->clearError();
    return count > 0 ? static_cast<unsigned>(count) : 0;
}

unsigned TConnectionManager::PortRead(int port, char* buffer, unsigned maxLength) {
    if (!buffer || maxLength == 0 || !ValidPort(port))
        return 0;
    TPortData& data = Slot(port);
    unsigned count = 0;
    if (data.Connection) {
        TNetworkConnection& connection = *data.Connection;
        connection.Collect();
        QByteArray& received = connection.Received();
        if (received.isEmpty())
            return 0;
        count = std::min(static_cast<unsigned>(received.size()), maxLength);
        std::memcpy(buffer, received.constData(), count);
        received.remove(0, count);
    } else {
        if (!data.Handle)
            return 0;
        const unsigned wanted = std::min(BytesAvailable(port), maxLength);
        if (wanted == 0)
            return 0;
        const qint64 got = data.Handle->read(buffer, wanted);
        if (got <= 0)
            return 0;
        count = static_cast<unsigned>(got);
    }
    buffer[count] = '\0';
    if (FTraceEnabled)
        TraceLine(comm::TraceReadLine(TraceMs(), port, buffer, count));
    return count;
}

unsigned TConnectionManager::PortWrite(int port, const char* buffer, unsigned length) {
    if (!ValidPort(port) || !buffer)
        return 0;
    TPortData& data = Slot(port);
    if (data.Connection) {
        // The relay gets the text before the first NUL, but never more than
        // the length given: a buffer without NUL is not read past its end.
        const auto* nul = static_cast<const char*>(std::memchr(buffer, '\0', length));
        const unsigned text = nul ? static_cast<unsigned>(nul - buffer) : length;
        data.Connection->Send(buffer, text);
        if (FTraceEnabled)
            TraceLine(comm::TraceWriteLine(TraceMs(), port, buffer, text));
        return length;
    }
    if (!data.Handle || !data.Handle->isOpen())
        return 0;
    if (data.Handle->write(buffer, length) != static_cast<qint64>(length))
        return 0;
    // Hands the bytes to the driver at once; a short line is then written
    // without any wait.
    data.Handle->flush();
    // Synchronous like the driver write it stands in for: return when the
    // device has taken the bytes, bounded by the port's reply time-out.
    const std::int64_t deadline = platform::TickCount() + std::max(data.Timeout, 100);
    while (data.Handle->bytesToWrite() > 0) {
        const std::int64_t left = deadline - platform::TickCount();
        if (left <= 0 || !data.Handle->waitForBytesWritten(static_cast<int>(left)))
            break;
    }
    if (data.Handle->bytesToWrite() > 0) {
        data.Handle->clear(QSerialPort::Output);
        data.Handle->clearError();
        return 0;
    }
    if (FTraceEnabled)
        TraceLine(comm::TraceWriteLine(TraceMs(), port, buffer, length));
    return length;
}

void TConnectionManager::PurgePort(int port) {
    if (!ValidPort(port))
        return;
    TPortData& data = Slot(port);
    if (data.Connection) {
        data.Connection->Collect();
        data.Connection->Received().clear();
        return;
    }
    if (data.Handle && data.Handle->isOpen()) {
        data.Handle->clear(QSerialPort::AllDirections);
        data.Handle->clearError();
    }
}

bool TConnectionManager::PortTransact(int port, const char* command, char terminator, int replySize,
                                      char* reply) {
    TReplyAssembler assembler(reply, replySize, terminator);
    if (!ValidPort(port) || !command)
        return false;
    if (!Slot(port).Handle && !Slot(port).Connection)
        return false;
    PurgePort(port);
    // A failed write shows up as a time-out.
    PortWrite(port, command, static_cast<unsigned>(std::strlen(command)));
    if (terminator == '\0')
        return true;
    StartReplyTimer(port);
    for (;;) {
        // Each round waits for input first (at once when some is there): a
        // reply that is not there yet right after the write costs one wait,
        // not a look that finds nothing and then a wait.
        WaitForInput(port);
        char chunk[TransactChunk + 1] = {};
        const unsigned count = PortRead(port, chunk, TransactChunk);
        if (count > 0 && assembler.Append(chunk, count))
            return true;
        if (ReplyTimedOut(port))
            return false;
    }
}

void TConnectionManager::StartReplyTimer(int port) {
    FDeadlines[static_cast<std::size_t>(port - 1)] = platform::TickCount() + Slot(port).Timeout;
}

bool TConnectionManager::ReplyTimedOut(int port) {
    if (platform::TickCount() <= FDeadlines[static_cast<std::size_t>(port - 1)])
        return false;
    TraceLine(comm::TracePortLine(TraceMs(), port, "TIMEOUT!"));
    return true;
}

void TConnectionManager::WaitForInput(int port) {
    // Wakes at the latest just after the deadline, so that the next round's
    // read comes before the time-out test, exactly as when polling.
    const std::int64_t left =
        FDeadlines[static_cast<std::size_t>(port - 1)] - platform::TickCount() + 1;
    if (left <= 0)
        return;
    const int wait = static_cast<int>(std::min<std::int64_t>(left, 1 << 30));
    TPortData& data = Slot(port);
    if (data.Connection) {
        if (data.Connection->Received().isEmpty())
            data.Connection->WaitForData(wait);
        return;
    }
    QSerialPort* handle = data.Handle;
    if (!handle || !handle->isOpen()) {
        QThread::msleep(static_cast<unsigned long>(wait));
        return;
    }
    if (handle->bytesAvailable() > 0)
        return;
    const std::int64_t started = platform::TickCount();
    if (!handle->waitForReadyRead(wait)) {
        const QSerialPort::SerialPortError error = handle->error();
        handle->clearError();
        // A device that went away (its other end closed) reports at once,
        // round after round; sleep out the time instead of spinning.
        if (error != QSerialPort::NoError && error != QSerialPort::TimeoutError) {
            const std::int64_t rest = wait - (platform::TickCount() - started);
            if (rest > 0)
                QThread::msleep(static_cast<unsigned long>(rest));
        }
    }
}

void TConnectionManager::SetPortTimeout(int port, int milliseconds) {
    if (ValidPort(port))
        Slot(port).Timeout = milliseconds;
}

int TConnectionManager::PortTimeout(int port) const {
    return ValidPort(port) ? Slot(port).Timeout : 0;
}

void TConnectionManager::SetTrace(bool enabled) {
    FTraceEnabled = enabled;
    FTraceStart = platform::TickCount();
}

std::int64_t TConnectionManager::TraceMs() const {
    return platform::TickCount() - FTraceStart;
}

void TConnectionManager::TraceLine(const QByteArray& text) {
    if (!FTraceEnabled)
        return;
    if (TExcMagic* log = TExcMagic::Instance())
        log->WriteEntry(text, false);
}

bool TConnectionManager::SetNetworkAddress(int port, const QString& address) {
    if (!ValidPort(port))
        return false;
    TPortData& data = Slot(port);
    if (data.Connection) {
        if (address.isEmpty()) {
            DestroyConnection(port);
            return true;
        }
        if (address == data.Connection->Host())
            return false;
        DestroyConnection(port);
    }
    if (address.isEmpty())
        return false;
    const comm::TNetworkAddress parsed = comm::ParseNetworkAddress(address);
    auto* connection = new TNetworkConnection(parsed.Host, parsed.Port);
    // Reported from the event loop, never from inside a transaction or the
    // socket's own signal handling.
    connection->SetErrorHook([this, port](const QString& message) {
        QMetaObject::invokeMethod(
            this, [this, port, message] { Q_EMIT NetworkError(port, message); },
            Qt::QueuedConnection);
    });
    data.Connection = connection;
    data.Address = address;
    return true;
}

bool TConnectionManager::SavePorts() {
    FSavedPorts = FPorts;
    FSaved = true;
    return true;
}

bool TConnectionManager::RestorePorts() {
    if (!FSaved)
        return false;
    ReleaseAllPorts();
    for (int port = FirstPort; port <= LastPort; ++port) {
        const TPortData& saved = FSavedPorts[static_cast<std::size_t>(port - 1)];
        if (saved.OpenCount <= 0)
            continue;
        if (!saved.Address.isEmpty())
            SetNetworkAddress(port, saved.Address);
        AcquirePort(port, saved.Exclusive);
        Slot(port).OpenCount = saved.OpenCount;
    }
    return true;
}
