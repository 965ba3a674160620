#pragma once

#include <QByteArray>
#include <QList>

#include <functional>

namespace lasersim {

// Sends bytes back to whoever sent a line (a pty, one TCP client, one control
// connection). It must tolerate being called after that peer has gone.
using TSendFunction = std::function<void(const QByteArray& bytes)>;

// Cuts a byte stream into lines at a terminator byte (the terminator is
// dropped). A run of more than MaxLine bytes without terminator is returned as
// a line of its own so that a peer that never sends one cannot grow memory.
class TLineSplitter {
public:
    explicit TLineSplitter(char terminator) : FTerminator(terminator) {}

    static constexpr qsizetype MaxLine = 4096;

    QList<QByteArray> Feed(const QByteArray& data) {
        QList<QByteArray> lines;
        FBuffer += data;
        qsizetype end;
        while ((end = FBuffer.indexOf(FTerminator)) >= 0) {
            lines.append(FBuffer.left(end));
            FBuffer.remove(0, end + 1);
        }
        if (FBuffer.size() > MaxLine) {
            lines.append(FBuffer);
            FBuffer.clear();
        }
        return lines;
    }

private:
    char FTerminator;
    QByteArray FBuffer;
};

} // namespace lasersim
