#include "SimLaser.h"

namespace lasersim {

TSimLaser::TSimLaser() = default;

quint32 TSimLaser::RawStatus(qint64) const {
    // Power off, ready to start, run temperature fine.
    return 0x210000;
}

std::optional<QByteArray> TSimLaser::Handle(const QByteArray& command, qint64 nowMs) {
    if (command == "SS")
        return QByteArray::number(RawStatus(nowMs), 16).toUpper().rightJustified(6, '0');
    if (command == "VN")
        return FFirmware;
    if (command == "LT?")
        return QByteArray::number(FType);
    return QByteArray("?0");
}

QByteArray TSimLaser::Set(const QByteArray& name, const QByteArray& value, qint64) {
    if (name == "type") {
        bool ok = false;
        const int type = value.toInt(&ok);
        if (!ok || type < 0 || type > 255)
            return "type needs a number 0..255";
        FType = type;
        return {};
    }
    if (name == "firmware") {
        bool ok = false;
        value.toDouble(&ok);
        if (!ok)
            return "firmware needs a version such as 2.10";
        FFirmware = value;
        return {};
    }
    return "unknown name '" + name + "'";
}

std::optional<QByteArray> TSimLaser::Get(const QByteArray& name, qint64 nowMs) const {
    if (name == "type")
        return QByteArray::number(FType);
    if (name == "firmware")
        return FFirmware;
    if (name == "status")
        return QByteArray::number(RawStatus(nowMs), 16).toUpper();
    return std::nullopt;
}

} // namespace lasersim
