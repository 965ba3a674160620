#include "tango/StationSettings.h"

QString RelayToNetworkConnection(const std::string& relay) {
    const QString text = QString::fromStdString(relay).trimmed();
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        if (close > 0) {
            const QString host = text.mid(1, close - 1);
            const QString rest = text.mid(close + 1);
            if (rest.startsWith(QLatin1Char(':')))
                return host + QLatin1Char('|') + rest.mid(1);
            return host;
        }
    }
    // More than one colon is an IPv6 address without a port.
    if (text.count(QLatin1Char(':')) != 1)
        return text;
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    return text.left(colon) + QLatin1Char('|') + text.mid(colon + 1);
}
