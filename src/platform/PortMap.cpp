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

namespace {

// Names compared with each run of digits taken as a number, so that ttyUSB2
// comes before ttyUSB10 as an operator counting adapters would expect.
bool NaturalLess(const QString& a, const QString& b) {
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ie = i, je = j;
            while (ie < a.size() && a[ie].isDigit())
                ++ie;
            while (je < b.size() && b[je].isDigit())
                ++je;
            qsizetype is = i, js = j;
            while (is + 1 < ie && a[is] == '0')
                ++is;
            while (js + 1 < je && b[js] == '0')
                ++js;
            // Without leading zeros the shorter run is the smaller number.
            if (ie - is != je - js)
                return ie - is < je - js;
            const int order =
                QStringView(a).sliced(is, ie - is).compare(QStringView(b).sliced(js, je - js));
            if (order != 0)
                return order < 0;
            i = ie;
            j = je;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j];
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return j < b.size();
    // Equal by value ("ttyS01" and "ttyS1"): fall back to the plain order.
    return a < b;
}

} // namespace

QMap<int, QString> SlotsFromListing(const QStringList& devicePaths) {
    auto isUsb = [](const QString& path) {
        const QString name = QFileInfo(path).fileName();
        return name.startsWith("ttyUSB") || name.startsWith("ttyACM");
    };
    QStringList usb, other;
    for (const QString& path : devicePaths)
        (isUsb(path) ? usb : other).append(path);
    std::sort(usb.begin(), usb.end(), NaturalLess);
    std::sort(other.begin(), other.end(), NaturalLess);

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
