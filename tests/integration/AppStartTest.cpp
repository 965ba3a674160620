#include "support/QtApp.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

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
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("TREVALON_PORTS", ""); // no serial slots at all
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
    QProcess program;
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

} // namespace
