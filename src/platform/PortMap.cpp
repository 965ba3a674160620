#include "platform/PortMap.h"

#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>

namespace platform {

QMap<int, QString> ParsePortMap(const QString& text) {
    QMap<int, QString> map;
    for (const QString& entry : text.split(',', Qt::SkipEmptyParts)) {
        const qsizetype eq = entry.indexOf('=');
        if (eq <= 0)
            continue;
        bool ok = false;
        const int slot = entry.left(eq).trimmed().toInt(&ok);
        const QString path = entry.mid(eq + 1).trimmed();
        if (ok && slot >= FirstComSlot && slot <= LastComSlot && !path.isEmpty())
            map.insert(slot, path);
    }
    return map;
}

QMap<int, QString> SlotsFromListing(const QStringList& devicePaths) {
    auto isUsb = [](const QString& path) {
        const QString name = QFileInfo(path).fileName();
        return name.startsWith("ttyUSB") || name.startsWith("ttyACM");
    };
    QStringList usb, other;
    for (const QString& path : devicePaths)
        (isUsb(path) ? usb : other).append(path);
    usb.sort();
    other.sort();

    QMap<int, QString> map;
    int slot = FirstComSlot;
    for (const QString& path : usb + other) {
        if (slot > LastComSlot)
            break;
        map.insert(slot++, path);
    }
    return map;
}

QMap<int, QString> ComPortMap() {
    const QByteArray configured = qgetenv("TREVALON_PORTS");
    if (!configured.isNull())
        return ParsePortMap(QString::fromLocal8Bit(configured));

    QStringList paths;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        paths.append(info.systemLocation());
    return SlotsFromListing(paths);
}

} // namespace platform
