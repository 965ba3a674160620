#pragma once

#include <QString>

namespace comm {

inline constexpr quint16 DefaultRelayPort = 1024;

struct TNetworkAddress {
    QString Host;
    quint16 Port = DefaultRelayPort;
};

// Splits a relay address "host" or "host|port". Without a bar the whole
// text is the host and the port is 1024. With a bar the host is the text
// before the first bar and the port is the decimal number in at most the
// five characters after it; when those are missing, not a number, or
// outside 1..65535, the port is 1024.
TNetworkAddress ParseNetworkAddress(const QString& address);

} // namespace comm
