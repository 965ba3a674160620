#include "SimResponder.h"

namespace lasersim {

void TSimResponder::SetFault(ELinkFault fault, int ms) {
    FFault = fault;
    FFaultMs = fault == ELinkFault::Late || fault == ELinkFault::Split ? ms : 0;
}

QByteArray TSimResponder::BurstText() {
    QByteArray burst;
    for (int i = 0; i < 16; ++i) {
        burst += QByteArray(3, '\0');
        burst += "C00080\r";
        burst += char(0xFF);
        burst += "?1\r";
        burst += static_cast<char>(0x80 + i);
        burst += "ok";
    }
    return burst;
}

void TSimResponder::SetOverride(const QByteArray& key, const TCommandOverride& action) {
    FOverrides.insert(key.toUpper(), action);
}

bool TSimResponder::ClearOverride(const QByteArray& key) {
    return FOverrides.remove(key.toUpper()) > 0;
}

const TCommandOverride* TSimResponder::FindOverride(const QByteArray& command) const {
    auto exact = FOverrides.constFind(command);
    if (exact != FOverrides.cend())
        return &exact.value();
    // The longest matching prefix wins, so "HS1*" beats "HS*".
    const TCommandOverride* best = nullptr;
    qsizetype bestLength = -1;
    for (auto it = FOverrides.cbegin(); it != FOverrides.cend(); ++it) {
        const QByteArray& key = it.key();
        if (!key.endsWith('*'))
            continue;
        const QByteArray prefix = key.left(key.size() - 1);
        if (command.startsWith(prefix) && prefix.size() > bestLength) {
            best = &it.value();
            bestLength = prefix.size();
        }
    }
    return best;
}

std::optional<QByteArray> TSimResponder::CommandOf(const QByteArray& line) {
    // Anything before the address (line noise, a stray LF from a CR LF
    // terminal) is skipped, as a laser that waits for ';' would.
    const qsizetype at = line.indexOf(";LA");
    if (at < 0)
        return std::nullopt;
    return line.mid(at + 3).toUpper();
}

QByteArray TSimResponder::Escape(const QByteArray& bytes) {
    QByteArray out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (u >= 0x20 && u < 0x7F) {
            out += c;
        } else {
            out += "\\x";
            out += QByteArray::number(u, 16).toUpper().rightJustified(2, '0');
        }
    }
    return out;
}

TSimAnswer TSimResponder::Respond(const QByteArray& line, qint64 nowMs) {
    TSimAnswer answer;
    const std::optional<QByteArray> command = CommandOf(line);
    if (!command)
        return answer;

    std::optional<QByteArray> reply;
    if (const TCommandOverride* forced = FindOverride(*command)) {
        switch (forced->Kind) {
        case TCommandOverride::Reply:
            reply = forced->Text;
            break;
        case TCommandOverride::Error:
            reply = "?" + forced->Text;
            break;
        case TCommandOverride::Silent:
            break;
        case TCommandOverride::Late:
            // The laser acts at once; only its answer is late.
            reply = FLaser.Handle(*command, nowMs);
            answer.DelayMs = forced->DelayMs;
            break;
        case TCommandOverride::Garbage:
            reply = GarbageText();
            break;
        }
        // Apart from a late answer, the override replaces the command: the
        // laser does not act on it, so a test can make "GO" fail without the laser starting to
        // fire.
    } else {
        reply = FLaser.Handle(*command, nowMs);
    }
    if (!reply || FFault == ELinkFault::Silent)
        return answer;

    answer.Silent = false;
    switch (FFault) {
    case ELinkFault::NoCr:
        answer.Bytes = *reply;
        break;
    case ELinkFault::Nul:
        answer.Bytes = *reply + '\r' + QByteArray(1, '\0');
        break;
    case ELinkFault::Extra:
        answer.Bytes = *reply + "\rXYZ";
        break;
    case ELinkFault::Long:
        answer.Bytes = QByteArray("0123456789").repeated(8) + '\r';
        break;
    case ELinkFault::Late:
        answer.Bytes = *reply + '\r';
        answer.DelayMs = FFaultMs;
        break;
    case ELinkFault::Split:
        answer.Bytes = *reply + '\r';
        answer.ByteGapMs = FFaultMs;
        break;
    case ELinkFault::Burst:
        answer.Bytes = *reply + '\r' + BurstText();
        break;
    case ELinkFault::None:
    case ELinkFault::Silent:
        answer.Bytes = *reply + '\r';
        break;
    }
    return answer;
}

} // namespace lasersim
