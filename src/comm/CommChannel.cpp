#include "comm/CommChannel.h"

#include "comm/ConnectionManager.h"

namespace {

// Every channel operation needs the process's manager; its absence is a
// programming error, reported like a failed assertion of the channel unit.
TConnectionManager& RequireManager(int line) {
    TConnectionManager* manager = ConnectionManager();
    if (!manager)
        throw EAssertionFailed("Assertion failure: no connection manager (SerialChannel, line " +
                               std::to_string(line) + ")");
    return *manager;
}

} // namespace

TCommChannel::~TCommChannel() {
    // A channel that outlives the manager has nothing left to release.
    if (FIsOpen && ConnectionManager())
        ConnectionManager()->ReleasePort(FPort);
    FIsOpen = false;
}

bool TCommChannel::Open(int port, bool exclusive) {
    TConnectionManager& manager = RequireManager(__LINE__);
    if (FIsOpen)
        Close();
    FPort = port;
    FIsOpen = manager.AcquirePort(port, exclusive);
    return FIsOpen;
}

void TCommChannel::Close() {
    TConnectionManager& manager = RequireManager(__LINE__);
    if (FIsOpen)
        manager.ReleasePort(FPort);
    FIsOpen = false;
}

unsigned TCommChannel::Read(char* buffer, unsigned maxLength) {
    return RequireManager(__LINE__).PortRead(FPort, buffer, maxLength);
}

unsigned TCommChannel::Write(const char* buffer, unsigned length) {
    return RequireManager(__LINE__).PortWrite(FPort, buffer, length);
}

bool TCommChannel::Transact(const char* command, char* reply, char terminator, int replySize) {
    return RequireManager(__LINE__).PortTransact(FPort, command, terminator, replySize, reply);
}
