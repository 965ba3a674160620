#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class QProcess;
class QTemporaryDir;

// A running laser-sim for tests: started from the directory named by the
// environment variable TREVALON_BIN_DIR (set by ctest), with its transcript
// and pty link in a private temporary directory. Start* waits for the READY
// line and returns nullptr (after printing why on stderr) when the simulator
// cannot be started. The destructor ends the simulator.
class SimProcess {
public:
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Serves on a pty whose device end is linked at PtyPath().
    static std::unique_ptr<SimProcess> StartPty(const QStringList& extraArgs = {});
    // Listens on 127.0.0.1 at a free port, TcpPort().
    static std::unique_ptr<SimProcess> StartTcp(const QStringList& extraArgs = {});

    QString PtyPath() const { return FPtyPath; }
    quint16 TcpPort() const { return FTcpPort; }

    // Sends one control line (see the simulator's README) and returns its
    // answer line without the newline ("OK ..." or "ERR ..."); empty when
    // the simulator has gone.
    QByteArray Control(const QByteArray& line);
    // Every line the simulator received so far, one per text line, with the
    // CR removed and non-printable bytes written as \xHH.
    QByteArray Transcript() const;
    // Ends the simulator now; a pty's other end closes with it.
    void Kill();
    // Kill, then the same simulator again, with a fresh laser on the same
    // pty path: a USB adapter pulled out and plugged back in.
    bool Restart();
    bool IsRunning() const;

private:
    SimProcess();
    static std::unique_ptr<SimProcess> Start(const QStringList& modeArgs, bool pty,
                                             const QStringList& extraArgs);
    bool Launch();
    QByteArray ReadLine(int timeoutMs);

    std::unique_ptr<QTemporaryDir> FDir;
    std::unique_ptr<QProcess> FProcess;
    QStringList FArgs;
    QString FPtyPath;
    QString FTranscriptPath;
    quint16 FTcpPort = 0;
    QByteArray FOutput;
};
