#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>

namespace lasersim {

// The simulated laser: its state and its answers to protocol commands.
// Pure logic: no I/O, and time comes in as a millisecond count from the
// caller, so tests drive it without sleeping.
class TSimLaser {
public:
    TSimLaser();

    // Answers one command (the text after ";LA", without the CR). The result
    // is the reply line without its CR; nullopt means the laser stays silent.
    std::optional<QByteArray> Handle(const QByteArray& command, qint64 nowMs);

    // The raw status word as the laser would send it in reply to "SS" now.
    quint32 RawStatus(qint64 nowMs) const;

    // Control interface: changes one named setting; returns an empty text on
    // success, else what was wrong. Names and values are in the README.
    QByteArray Set(const QByteArray& name, const QByteArray& value, qint64 nowMs);
    // Reads one named setting or read-out; nullopt for an unknown name.
    std::optional<QByteArray> Get(const QByteArray& name, qint64 nowMs) const;

    int Type() const { return FType; }
    void SetType(int type) { FType = type; }
    QByteArray Firmware() const { return FFirmware; }
    void SetFirmware(const QByteArray& version) { FFirmware = version; }

private:
    int FType = 8;
    QByteArray FFirmware = "2.10";
};

} // namespace lasersim
