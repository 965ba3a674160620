#include "support/QtApp.h"
#include "support/SimProcess.h"

#include <QByteArrayList>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <memory>

namespace {

// Runs a copy of the program from a folder of its own, so that its event log
// lands there and nothing else is touched.
class AppStartTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQtApp();
        const QString bin = qEnvironmentVariable("TREVALON_BIN_DIR");
        if (bin.isEmpty() || !QFile::exists(bin + "/trevalon"))
            GTEST_SKIP() << "the program is not built beside the tests";
        ASSERT_TRUE(QFile::copy(bin + "/trevalon", dir.filePath("trevalon")));
        env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("TREVALON_PORTS", ""); // no serial slots at all
        // A mailbox of each test's own.
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        env.insert("TREVALON_IPC_SUFFIX", env.value("TREVALON_IPC_SUFFIX") + "_" + test->name());
        program.setProcessEnvironment(env);
        program.setProgram(dir.filePath("trevalon"));
    }

    QByteArray Log() const {
        QFile f(dir.filePath("ExcMagic.Log"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void StartAndEndBy(int signo) {
        program.start();
        ASSERT_TRUE(program.waitForStarted(5000));
        // The start entry is written before the window exists; the bound is
        // generous for a loaded machine, not a speed expectation.
        for (int i = 0; i < 600 && !Log().contains("Program Started"); ++i)
            program.waitForFinished(50);
        ::kill(static_cast<pid_t>(program.processId()), signo);
        ASSERT_TRUE(program.waitForFinished(10000));
    }

    QTemporaryDir dir;
    QProcessEnvironment env;
    QProcess program;
};

// The program against a simulated laser of type 8 in COM slot 1.
class AppLaserTest : public AppStartTest {
protected:
    // Bounds for a loaded machine, not expectations of speed.
    static constexpr int WaitLimitMs = 60000;

    void StartWithLaser(const QStringList& settings = {}) {
        QStringList args = {"--set", "set type 8", "--set", "set motor-time 0"};
        for (const QString& line : settings)
            args << "--set" << line;
        sim = SimProcess::StartPty(args);
        ASSERT_NE(sim, nullptr);
        env.insert("TREVALON_PORTS", "1=" + sim->PtyPath());
        program.setProcessEnvironment(env);
        program.start();
        ASSERT_TRUE(program.waitForStarted(WaitLimitMs));
    }

    // Commands (without ";LA") the laser received so far.
    QByteArrayList Commands() const {
        QByteArrayList result;
        for (const QByteArray& line : sim->Transcript().split('\n')) {
            const qsizetype at = line.indexOf(";LA");
            if (at >= 0)
                result << line.mid(at + 3);
        }
        return result;
    }

    // Waits (bounded) until `done` holds for the commands received.
    bool WaitForCommands(const std::function<bool(const QByteArrayList&)>& done) {
        const QDeadlineTimer deadline(WaitLimitMs);
        while (!done(Commands())) {
            if (deadline.hasExpired() || program.state() == QProcess::NotRunning)
                return false;
            program.waitForFinished(20);
        }
        return true;
    }

    // The poll runs: a status read after the status bar's first read-outs.
    bool WaitForPolling() {
        return WaitForCommands([](const QByteArrayList& commands) {
            const qsizetype setup = commands.indexOf("SC");
            return setup >= 0 && commands.indexOf("SS", setup) >= 0;
        });
    }

    void EndBySigterm() {
        ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
        ASSERT_TRUE(program.waitForFinished(WaitLimitMs));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
    }

    std::unique_ptr<SimProcess> sim;
};

TEST_F(AppStartTest, WritesItsVersionIntoTheLogAndEndsCleanlyOnSigterm) {
    StartAndEndBy(SIGTERM);
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    const QByteArray log = Log();
    EXPECT_TRUE(log.startsWith("\r\n---------------------------")) << log.toStdString();
    EXPECT_TRUE(log.endsWith("Program Started - V1.0.0.0\r\n")) << log.toStdString();
}

TEST_F(AppStartTest, SigintClosesTheWindowToo) {
    StartAndEndBy(SIGINT);
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
}

TEST_F(AppStartTest, AnOversizedLogIsReplacedAtStart) {
    QFile old(dir.filePath("ExcMagic.Log"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(60000, 'x'));
    old.close();
    StartAndEndBy(SIGTERM);
    EXPECT_FALSE(Log().contains('x'));
}

TEST_F(AppLaserTest, SigtermWhilePollingSwitchesTheLaserOffAndEndsCleanly) {
    StartWithLaser();
    ASSERT_TRUE(WaitForPolling()) << Commands().join(' ').toStdString();
    EndBySigterm();
    const QByteArrayList commands = Commands();
    EXPECT_EQ(commands.mid(commands.size() - 2), (QByteArrayList{"OF", "SM0"}));
}

TEST_F(AppLaserTest, SigtermClosesTheOpenLaserNotFoundBox) {
    // A laser that refuses serial control is not identified, and the
    // failure box opens right after its refusal.
    StartWithLaser({"error SM1 2"});
    ASSERT_TRUE(WaitForCommands([](const QByteArrayList& c) { return c.contains("SM1"); }));
    EndBySigterm();
}

TEST_F(AppLaserTest, SigtermWhileTheLaserIsNotRespondingStillSwitchesItOff) {
    StartWithLaser();
    ASSERT_TRUE(WaitForPolling());
    ASSERT_TRUE(sim->Control("fault silent").startsWith("OK"));
    // The next status read goes unanswered. It blocks the program until its
    // time-out, so the signal is taken in once the failure box is open.
    const qsizetype before = Commands().size();
    ASSERT_TRUE(WaitForCommands(
        [before](const QByteArrayList& c) { return c.indexOf("SS", before) >= 0; }));
    EndBySigterm();
    // "OF" still goes out; left unanswered, it ends the laser's shutdown.
    EXPECT_EQ(Commands().last(), "OF");
}

TEST_F(AppLaserTest, ASecondProgramOnTheSamePortLeavesTheFirstAndItsLaserAlone) {
    StartWithLaser();
    ASSERT_TRUE(WaitForPolling());

    QTemporaryDir secondDir;
    ASSERT_TRUE(QFile::copy(dir.filePath("trevalon"), secondDir.filePath("trevalon")));
    QProcess second;
    QProcessEnvironment secondEnv = env;
    secondEnv.insert("TREVALON_IPC_SUFFIX", env.value("TREVALON_IPC_SUFFIX") + "_second");
    second.setProcessEnvironment(secondEnv);
    second.start(secondDir.filePath("trevalon"));
    ASSERT_TRUE(second.waitForStarted(WaitLimitMs));
    // The second finds the port taken and no laser; meanwhile the first
    // polls on. A few seconds give the second time to reach the laser if
    // it could; the checks below are of what must not happen.
    const qsizetype before = Commands().count("SS");
    second.waitForFinished(3000);
    ASSERT_EQ(second.state(), QProcess::Running);
    ::kill(static_cast<pid_t>(second.processId()), SIGTERM);
    ASSERT_TRUE(second.waitForFinished(WaitLimitMs));
    EXPECT_EQ(second.exitCode(), 0);

    const QByteArrayList commands = Commands();
    EXPECT_GT(commands.count("SS"), before + 4);
    EXPECT_EQ(commands.count("SM1"), 1);
    EXPECT_FALSE(commands.contains("OF"));
    EXPECT_FALSE(commands.contains("SM0"));
    EndBySigterm();
    EXPECT_EQ(Commands().mid(Commands().size() - 2), (QByteArrayList{"OF", "SM0"}));
}

} // namespace
