#pragma once

#include <stdexcept>
#include <string>

// Thrown by every TCommChannel operation when no connection manager exists.
// Its text begins "Assertion failure" and names the SerialChannel unit and
// line. This is a programming error, not a communication failure.
class EAssertionFailed : public std::logic_error {
public:
    explicit EAssertionFailed(const std::string& what) : std::logic_error(what) {}
};

// A command channel on one port number (1..16). Every operation is handed to
// the process's connection manager; see TConnectionManager for the rules.
//
// Read, Write and Transact do not look at IsOpen: they act on the channel's
// port whenever the manager has it open, whoever holds it. Failures are
// results only (false, 0).
class TCommChannel {
public:
    TCommChannel() = default;
    ~TCommChannel(); // Close
    TCommChannel(const TCommChannel&) = delete;
    TCommChannel& operator=(const TCommChannel&) = delete;

    // Closes first if open; then Port := port and IsOpen := AcquirePort.
    bool Open(int port, bool exclusive);
    // Releases the port if the channel holds it; IsOpen := false.
    void Close();
    // maxLength bytes at most, never waits; buffer holds maxLength + 1 bytes.
    unsigned Read(char* buffer, unsigned maxLength);
    // Count written, 0 on failure.
    unsigned Write(const char* buffer, unsigned length);
    // PortTransact on the channel's port: command is NUL-terminated, reply
    // holds replySize + 1 bytes. True when the terminator arrived.
    bool Transact(const char* command, char* reply, char terminator, int replySize);

    bool IsOpen() const { return FIsOpen; }
    int Port() const { return FPort; }

private:
    bool FIsOpen = false;
    int FPort = 1;
};
