// Devices that go away, that another process holds, or that the user may
// not open.
#include "CommFixture.h"

#include "comm/CommChannel.h"
#include "platform/SerialDevice.h"
#include "support/SimProcess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSerialPort>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString ProbeTool() {
    return QCoreApplication::applicationDirPath() + "/comm-port-probe";
}

QByteArray RunProbe(const QStringList& args) {
    QProcess probe;
    probe.start(ProbeTool(), args);
    if (!probe.waitForFinished(20000))
        return "HUNG";
    return probe.readAllStandardOutput().trimmed();
}

} // namespace

TEST(CommDevice, SecondProcessIsRefusedAPortHeldHere) {
    EnsureQtApp();
    auto sim = SimProcess::StartPty();
    ASSERT_NE(sim, nullptr);
    TConnectionManager manager({{1, sim->PtyPath()}});
    // Free, the other process can open it: the refusal below is real.
    ASSERT_EQ(RunProbe({"open", sim->PtyPath()}), "OPENED");
    TCommChannel channel;
    ASSERT_TRUE(channel.Open(1, false)); // shared here still means exclusive to the system
    EXPECT_EQ(RunProbe({"open", sim->PtyPath()}), "REFUSED");
    EXPECT_TRUE(Exchange(manager, 1, "SS")) << "the holder is unaffected";
    channel.Close();
    EXPECT_EQ(RunProbe({"open", sim->PtyPath()}), "OPENED");
}

TEST(CommDevice, DeviceVanishingMidExchangeFailsWithoutHanging) {
    EnsureQtApp();
    // Started directly (not through SimProcess) so that another thread can
    // kill it while the exchange is waiting.
    QTemporaryDir dir;
    const QString pty = dir.filePath("ttyLASER");
    QProcess sim;
    sim.start(qEnvironmentVariable("TREVALON_BIN_DIR") + "/laser-sim",
              {"--pty", pty, "--set", "fault late 800"});
    ASSERT_TRUE(sim.waitForStarted(20000));
    ASSERT_TRUE(sim.waitForReadyRead(20000));
    ASSERT_TRUE(sim.readLine().startsWith("READY"));
    const qint64 pid = sim.processId();

    TestLog log;
    TConnectionManager manager({{1, pty}});
    manager.SetTrace(true);
    manager.SetPortTimeout(1, 1500);
    TCommChannel channel;
    ASSERT_TRUE(channel.Open(1, false));
    std::thread killer([pid] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ::kill(static_cast<pid_t>(pid), SIGKILL);
    });
    QByteArray reply;
    const bool ok = Exchange(manager, 1, "SS", &reply);
    killer.join();
    EXPECT_FALSE(ok);
    EXPECT_TRUE(reply.isEmpty());
    EXPECT_EQ(log.Count("PORT 1 TIMEOUT!]"), 1);
    // Later exchanges on the dead device fail the same way.
    EXPECT_FALSE(Exchange(manager, 1, "SS"));
    channel.Close();
    sim.waitForFinished(20000);
}

TEST(CommDevice, PermissionDeniedIsLoggedWithPathAndDialoutHint) {
    EnsureQtApp();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A device the probe's user may not open. As root the probe runs as
    // "nobody", for whom a root-owned 0600 file is out of reach.
    const bool root = ::geteuid() == 0;
    ::chmod(QFile::encodeName(dir.path()).constData(), 0777);
    const QString device = dir.filePath("ttyLOCKED");
    {
        QFile file(device);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ::chmod(QFile::encodeName(device).constData(), root ? 0600 : 0000);
    const QString logFile = dir.filePath("ExcMagic.Log");

    QProcess probe;
    if (root) {
        probe.setChildProcessModifier([] {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(3);
        });
    }
    probe.start(ProbeTool(), {"manager", device, logFile});
    ASSERT_TRUE(probe.waitForFinished(20000));
    if (root && probe.exitCode() == 3)
        GTEST_SKIP() << "cannot drop to an unprivileged user here";
    ASSERT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().constData();
    EXPECT_EQ(probe.readAllStandardOutput().trimmed(), "0");
    QFile log(logFile);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromLocal8Bit(log.readAll());
    EXPECT_TRUE(text.contains(device)) << qPrintable(text);
    EXPECT_TRUE(text.contains("dialout")) << qPrintable(text);
}

TEST(CommDevice, MissingDeviceIsNotAPermissionProblem) {
    EnsureQtApp();
    bool denied = true;
    EXPECT_EQ(platform::OpenSerialDevice("/nonexistent/ttyNONE", &denied), nullptr);
    EXPECT_FALSE(denied);
}
