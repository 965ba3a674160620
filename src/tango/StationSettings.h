#pragma once

#include <QString>

#include <string>

// The device properties the station works by.
struct TStationSettings {
    static constexpr int DefaultPollPeriod = 250; // ms
    static constexpr int MinPollPeriod = 50;      // ms

    int PollPeriod = DefaultPollPeriod; // ms between status polls
    std::string Relay;                  // "host:port" or "host"; empty: serial slots only
    bool RemoteFiring = false;          // the Fire command may start the laser
    bool AllowRawCommands = false;      // SendCommand passes commands to the laser
};

// The relay address as the laser object takes it ("host|port") from the
// property's "host:port". A bare host stays as it is (port 1024), and so does
// an IPv6 address without brackets; "[addr]:port" gives "addr|port".
QString RelayToNetworkConnection(const std::string& relay);
