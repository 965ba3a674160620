#include "comm/NetworkAddress.h"

namespace comm {

TNetworkAddress ParseNetworkAddress(const QString& address) {
    TNetworkAddress result;
    const qsizetype bar = address.indexOf(QLatin1Char('|'));
    if (bar < 0) {
        result.Host = address;
        return result;
    }
    result.Host = address.left(bar);
    bool ok = false;
    const uint port = address.mid(bar + 1, 5).toUInt(&ok, 10);
    // A port of 0 or above 65535 cannot be connected to: treat it like any
    // other unusable text and fall back to the default.
    if (ok && port >= 1 && port <= 65535)
        result.Port = static_cast<quint16>(port);
    return result;
}

} // namespace comm
