#pragma once

// ser2net, a relay nobody here wrote, between TCP on 127.0.0.1 and a
// simulator's pty. It can be stopped and started again on the same port,
// as a relay host that goes away and comes back.

#include "support/SpinUntil.h"

#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

class Ser2netRelay {
public:
    static constexpr const char* Program = "/usr/sbin/ser2net";
    static bool Installed() { return QFile::exists(Program); }

    ~Ser2netRelay() { Stop(); }

    // Relays a free port (the same one again after a Stop) to `ptyPath`;
    // true once the relay takes connections.
    bool Start(const QString& ptyPath) {
        if (FPort == 0) {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost, 0);
            FPort = probe.serverPort();
        }
        QFile config(FDir.filePath("ser2net.yaml"));
        if (!config.open(QIODevice::WriteOnly))
            return false;
        config.write(QStringLiteral("connection: &laser\n"
                                    "  accepter: tcp,127.0.0.1,%1\n"
                                    "  connector: serialdev,%2,9600n81,local\n"
                                    "  enable: on\n")
                         .arg(FPort)
                         .arg(ptyPath)
                         .toUtf8());
        config.close();
        FProcess.setProcessChannelMode(QProcess::ForwardedChannels);
        FProcess.start(Program, {"-n", "-c", config.fileName(), "-P", FDir.filePath("pid")});
        if (!FProcess.waitForStarted(20000))
            return false;
        // Listening once a connection is taken (refused ones fail at once).
        return SpinUntil(
            [this] {
                QTcpSocket socket;
                socket.connectToHost(QHostAddress::LocalHost, FPort);
                return socket.waitForConnected(200);
            },
            20000);
    }

    // Ends the relay; its connections close with it.
    void Stop() {
        if (FProcess.state() == QProcess::NotRunning)
            return;
        FProcess.terminate();
        FProcess.waitForFinished(20000);
    }

    QString Address() const { return QStringLiteral("127.0.0.1|%1").arg(FPort); }

private:
    QTemporaryDir FDir;
    QProcess FProcess;
    quint16 FPort = 0;
};
