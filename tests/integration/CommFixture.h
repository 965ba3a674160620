#pragma once

#include "comm/ConnectionManager.h"
#include "diag/ExcMagic.h"
#include "support/QtApp.h"
#include "support/SpinUntil.h"

#include <QByteArrayList>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

// An event log in a private folder, whose lines the comm tests read back to
// check the communication trace.
class TestLog {
public:
    TestLog() : FLog(std::make_unique<TExcMagic>(FDir.filePath("ExcMagic.Log"))) {}

    QString FileName() const { return FDir.filePath("ExcMagic.Log"); }

    QByteArrayList Lines() const {
        QFile file(FileName());
        QByteArrayList lines;
        if (!file.open(QIODevice::ReadOnly))
            return lines;
        for (const QByteArray& line : file.readAll().split('\n')) {
            const QByteArray trimmed = line.endsWith('\r') ? line.chopped(1) : line;
            if (!trimmed.isEmpty())
                lines << trimmed;
        }
        return lines;
    }

    // Trace lines of one kind ("OPENED]", "CLOSED]", "TIMEOUT!]", ":READ", ":WRITE").
    int Count(const QByteArray& part) const {
        int n = 0;
        for (const QByteArray& line : Lines())
            n += line.contains(part) ? 1 : 0;
        return n;
    }

private:
    QTemporaryDir FDir;
    std::unique_ptr<TExcMagic> FLog;
};

// One exchange through the manager with the laser's framing.
inline bool Exchange(TConnectionManager& manager, int port, const QByteArray& command,
                     QByteArray* reply = nullptr, int replySize = 60) {
    QByteArray buffer(replySize + 1, 'x');
    const QByteArray line = ";LA" + command + '\r';
    const bool ok = manager.PortTransact(port, line.constData(), '\r', replySize, buffer.data());
    if (reply)
        *reply = QByteArray(buffer.constData());
    return ok;
}
