#pragma once

#include "SimLaser.h"

#include <QByteArray>
#include <QMap>

namespace lasersim {

// How the link misbehaves, applied to every answer (one mode at a time).
enum class ELinkFault { None, Silent, NoCr, Nul, Extra, Long, Late, Split, Burst };

// What to do with one command, overriding the laser's own answer.
struct TCommandOverride {
    enum EKind { Reply, Error, Silent, Garbage, Late } Kind = Reply;
    QByteArray Text; // the forced reply (Reply) or the error character (Error)
    int DelayMs = 0; // Late: the laser acts and answers this much later
};

// The bytes to send back for one received line, and when.
struct TSimAnswer {
    bool Silent = true; // nothing is sent
    QByteArray Bytes;   // the full answer including its CR and any trailing junk
    int DelayMs = 0;    // send after this many milliseconds
    int ByteGapMs = -1; // 0 or more: one byte at a time, this far apart
};

// Turns received lines into answers: strips the ";LA" address, applies the
// per-command overrides, asks the laser, then shapes the line by the link fault.
class TSimResponder {
public:
    explicit TSimResponder(TSimLaser& laser) : FLaser(laser) {}

    // line: one received line without its terminating CR, exactly as received.
    TSimAnswer Respond(const QByteArray& line, qint64 nowMs);

    // ms: the delay of Late, the gap between the bytes of Split.
    void SetFault(ELinkFault fault, int ms = 0);
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
    // The line noise sent after every answer by the "burst" fault: NULs,
    // CRs, high bytes and fragments that would read as replies.
    static QByteArray BurstText();

private:
    const TCommandOverride* FindOverride(const QByteArray& command) const;

    TSimLaser& FLaser;
    ELinkFault FFault = ELinkFault::None;
    int FFaultMs = 0;
    QMap<QByteArray, TCommandOverride> FOverrides;
};

} // namespace lasersim
