#pragma once

#include "comm/CommChannel.h"

#include <QByteArray>

// Base of device controllers that talk a line protocol over one command
// channel: frames a command with an address prefix and a carriage return and
// returns the reply line without its carriage return. Raises nothing of its
// own; what an empty or error reply means is the caller's business.
class TGenericController {
public:
    static constexpr int ReplyRoom = 60; // characters kept of a reply

    explicit TGenericController(const QByteArray& address); // the laser uses ";LA"
    virtual ~TGenericController() = default;                // releases the port
    TGenericController(const TGenericController&) = delete;
    TGenericController& operator=(const TGenericController&) = delete;

    // Shared (non-exclusive) open of port 1..16; true when now held.
    bool Open(int port);
    void Close();

    // Sends prefix + command + CR (text up to a NUL in either is not
    // expected). With waitReply, waits up to the port's time-out for a line
    // ended by CR and returns it in reply without the CR, at most 60
    // characters; true when the CR arrived. Without waitReply, true as soon
    // as the line is written, reply empty. False with an empty reply when the
    // port is neither open nor routed; false with what arrived on time-out.
    bool Transact(const QByteArray& prefix, const QByteArray& command, bool waitReply,
                  QByteArray& reply);

    TCommChannel& Channel() { return FChannel; }
    const QByteArray& Address() const { return FAddress; }

private:
    TCommChannel FChannel;
    QByteArray FAddress;
};
