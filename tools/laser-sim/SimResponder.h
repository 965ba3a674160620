#pragma once

#include "SimLaser.h"

#include <QByteArray>
#include <QMap>

namespace lasersim {

// How the link misbehaves, applied to every answer (one mode at a time).
enum class ELinkFault { None, Silent, NoCr, Nul, Extra, Long, Late };

// What to do with one command, overriding the laser's own answer.
struct TCommandOverride {
    enum EKind { Reply, Error, Silent, Garbage } Kind = Reply;
    QByteArray Text; // the forced reply (Reply) or the error character (Error)
};

// The bytes to send back for one received line, and when.
struct TSimAnswer {
    bool Silent = true; // nothing is sent
    QByteArray Bytes;   // the full answer including its CR and any trailing junk
    int DelayMs = 0;    // send after this many milliseconds
};

// Turns received lines into answers: strips the ";LA" address, applies the
// per-command overrides, asks the laser, then shapes the line by the link fault.
class TSimResponder {
public:
    explicit TSimResponder(TSimLaser& laser) : FLaser(laser) {}

    // line: one received line without its terminating CR, exactly as received.
    TSimAnswer Respond(const QByteArray& line, qint64 nowMs);

    void SetFault(ELinkFault fault, int lateMs = 0);
    ELinkFault Fault() const { return FFault; }

    // key: a command text ("SS", "HS1?"), or a prefix ending in '*' ("RR*").
    void SetOverride(const QByteArray& key, const TCommandOverride& action);
    bool ClearOverride(const QByteArray& key);
    void ClearOverrides() { FOverrides.clear(); }

    // The command inside a received line: the text after ";LA", upper-cased.
    // Lines without the address get nothing (the laser ignores them).
    static std::optional<QByteArray> CommandOf(const QByteArray& line);
    // A received line for the transcript: printable ASCII as is, backslash
    // doubled, every other byte as \xHH.
    static QByteArray Escape(const QByteArray& bytes);
    // The deterministic junk sent for a "garbage" command: no number reads it.
    static QByteArray GarbageText() { return "#~G&R%B*"; }

private:
    const TCommandOverride* FindOverride(const QByteArray& command) const;

    TSimLaser& FLaser;
    ELinkFault FFault = ELinkFault::None;
    int FLateMs = 0;
    QMap<QByteArray, TCommandOverride> FOverrides;
};

} // namespace lasersim
