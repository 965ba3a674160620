// The simulator as other tests meet it: a real process on a real pty and a
// real TCP port, driven through SimProcess.

#include "support/QtApp.h"
#include "support/SimProcess.h"

#include <QLocalSocket>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

// Generous bound for a broken simulator; a healthy one answers at once.
constexpr int LimitMs = 10000;

qint64 MonotonicMs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

class PtyClient {
public:
    explicit PtyClient(const QString& path)
        : FFd(::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY)) {}
    ~PtyClient() {
        if (FFd >= 0)
            ::close(FFd);
    }
    bool IsOpen() const { return FFd >= 0; }
    void Write(const QByteArray& bytes) {
        ASSERT_EQ(::write(FFd, bytes.constData(), bytes.size()), bytes.size());
    }
    // Reads until `until` bytes arrived, the terminator is seen, or the line
    // stays quiet for quietMs.
    QByteArray Read(qsizetype until, int quietMs = LimitMs) {
        QByteArray got;
        while (got.size() < until) {
            pollfd p{FFd, POLLIN, 0};
            if (::poll(&p, 1, quietMs) <= 0)
                break;
            char buffer[256];
            const ssize_t n = ::read(FFd, buffer, sizeof buffer);
            if (n <= 0) {
                FReadFailed = true;
                break;
            }
            got.append(buffer, n);
        }
        return got;
    }
    QByteArray Exchange(const QByteArray& command, qsizetype replySize) {
        Write(";LA" + command + "\r");
        return Read(replySize);
    }
    bool ReadFailed() const { return FReadFailed; }

private:
    int FFd;
    bool FReadFailed = false;
};

} // namespace

TEST(SimTransport, PtyAnswersAndWritesTranscript) {
    auto sim = SimProcess::StartPty();
    ASSERT_TRUE(sim);
    PtyClient port(sim->PtyPath());
    ASSERT_TRUE(port.IsOpen());
    EXPECT_EQ(port.Exchange("LT?", 2), "8\r");
    EXPECT_EQ(port.Exchange("VN", 5), "2.10\r");
    // A line without the laser's address is recorded but not answered; the
    // next addressed one is.
    port.Write("hello\r");
    EXPECT_EQ(port.Exchange("XQ", 3), "?0\r");
    EXPECT_EQ(sim->Transcript(), ";LALT?\n;LAVN\nhello\n;LAXQ\n");
}

TEST(SimTransport, TranscriptTimesAreOnTheSystemMonotonicClock) {
    auto sim = SimProcess::StartPty({"--transcript-times"});
    ASSERT_TRUE(sim);
    PtyClient port(sim->PtyPath());
    ASSERT_TRUE(port.IsOpen());
    const qint64 before = MonotonicMs();
    EXPECT_EQ(port.Exchange("LT?", 2), "8\r");
    const qint64 after = MonotonicMs();
    const QList<QByteArray> fields = sim->Transcript().split(' ');
    ASSERT_EQ(fields.size(), 2);
    EXPECT_EQ(fields[1], ";LALT?\n");
    bool isNumber = false;
    const qint64 stamp = fields[0].toLongLong(&isNumber);
    ASSERT_TRUE(isNumber);
    EXPECT_GE(stamp, before);
    EXPECT_LE(stamp, after);
}

TEST(SimTransport, LinkFaultsShapeTheAnswer) {
    auto sim = SimProcess::StartPty({"--set", "reply VN 1.50"});
    ASSERT_TRUE(sim);
    PtyClient port(sim->PtyPath());
    ASSERT_TRUE(port.IsOpen());
    EXPECT_EQ(port.Exchange("VN", 5), "1.50\r");

    ASSERT_EQ(sim->Control("fault nul"), "OK");
    EXPECT_EQ(port.Exchange("VN", 6), QByteArray("1.50\r\0", 6));
    ASSERT_EQ(sim->Control("fault extra"), "OK");
    EXPECT_EQ(port.Exchange("VN", 8), "1.50\rXYZ");
    ASSERT_EQ(sim->Control("fault long"), "OK");
    EXPECT_EQ(port.Exchange("VN", 81), QByteArray("0123456789").repeated(8) + "\r");
    ASSERT_EQ(sim->Control("fault nocr"), "OK");
    port.Write(";LAVN\r");
    EXPECT_EQ(port.Read(4), "1.50");
    ASSERT_EQ(sim->Control("fault late 50"), "OK");
    EXPECT_EQ(port.Exchange("VN", 5), "1.50\r");
    ASSERT_EQ(sim->Control("fault silent"), "OK");
    const qsizetype linesBefore = sim->Transcript().count('\n');
    port.Write(";LAVN\r");
    // The pty and the control input race inside the simulator: switch back
    // only once the silent line has certainly been taken in.
    for (int i = 0; i < 1000 && sim->Transcript().count('\n') == linesBefore; ++i)
        ::usleep(10000);
    ASSERT_EQ(sim->Control("fault none"), "OK");
    // The silent line got nothing: the next answer is the only one.
    EXPECT_EQ(port.Exchange("LT?", 2), "8\r");
    EXPECT_EQ(port.Read(1, 100), "");
}

TEST(SimTransport, PortCanBeClosedAndReopenedAndDiesWithTheSimulator) {
    auto sim = SimProcess::StartPty();
    ASSERT_TRUE(sim);
    {
        PtyClient first(sim->PtyPath());
        ASSERT_TRUE(first.IsOpen());
        EXPECT_EQ(first.Exchange("LT?", 2), "8\r");
    }
    PtyClient second(sim->PtyPath());
    ASSERT_TRUE(second.IsOpen());
    EXPECT_EQ(second.Exchange("LT?", 2), "8\r");
    sim->Kill();
    EXPECT_FALSE(sim->IsRunning());
    // The master end is gone: reads report a hang-up instead of blocking.
    EXPECT_EQ(second.Read(1), "");
    EXPECT_TRUE(second.ReadFailed());
}

TEST(SimTransport, TcpServesEachConnectionSeparately) {
    EnsureQtApp();
    auto sim = SimProcess::StartTcp();
    ASSERT_TRUE(sim);
    ASSERT_NE(sim->TcpPort(), 0);
    QTcpSocket a;
    QTcpSocket b;
    a.connectToHost(QStringLiteral("127.0.0.1"), sim->TcpPort());
    b.connectToHost(QStringLiteral("127.0.0.1"), sim->TcpPort());
    ASSERT_TRUE(a.waitForConnected(LimitMs));
    ASSERT_TRUE(b.waitForConnected(LimitMs));
    // Half a line on one connection does not mix with a whole one on the other.
    a.write(";LAL");
    a.waitForBytesWritten(LimitMs);
    b.write(";LAVN\r");
    ASSERT_TRUE(b.waitForReadyRead(LimitMs));
    QByteArray gotB = b.readAll();
    while (!gotB.endsWith('\r') && b.waitForReadyRead(LimitMs))
        gotB += b.readAll();
    EXPECT_EQ(gotB, "2.10\r");
    a.write("T?\r");
    ASSERT_TRUE(a.waitForReadyRead(LimitMs));
    QByteArray gotA = a.readAll();
    while (!gotA.endsWith('\r') && a.waitForReadyRead(LimitMs))
        gotA += a.readAll();
    EXPECT_EQ(gotA, "8\r");
}

TEST(SimTransport, DropClosesTcpConnectionsAndNewOnesAreServed) {
    EnsureQtApp();
    auto sim = SimProcess::StartTcp();
    ASSERT_TRUE(sim);
    QTcpSocket first;
    first.connectToHost(QStringLiteral("127.0.0.1"), sim->TcpPort());
    ASSERT_TRUE(first.waitForConnected(LimitMs));
    first.write(";LALT?\r");
    ASSERT_TRUE(first.waitForReadyRead(LimitMs));
    first.readAll();
    EXPECT_EQ(sim->Control("drop"), "OK 1");
    if (first.state() == QAbstractSocket::ConnectedState) {
        EXPECT_TRUE(first.waitForDisconnected(LimitMs));
    }

    QTcpSocket second;
    second.connectToHost(QStringLiteral("127.0.0.1"), sim->TcpPort());
    ASSERT_TRUE(second.waitForConnected(LimitMs));
    second.write(";LALT?\r");
    ASSERT_TRUE(second.waitForReadyRead(LimitMs));
    QByteArray got = second.readAll();
    while (!got.endsWith('\r') && second.waitForReadyRead(LimitMs))
        got += second.readAll();
    EXPECT_EQ(got, "8\r");
}

TEST(SimTransport, ControlLinesAnswerOkOrErr) {
    auto sim = SimProcess::StartPty();
    ASSERT_TRUE(sim);
    EXPECT_EQ(sim->Control("set type 5"), "OK");
    EXPECT_EQ(sim->Control("get type"), "OK 5");
    EXPECT_TRUE(sim->Control("fault sideways").startsWith("ERR "));
    EXPECT_TRUE(sim->Control("no such thing").startsWith("ERR "));
    EXPECT_TRUE(sim->Control("set type banana").startsWith("ERR "));
    EXPECT_EQ(sim->Control("ping"), "OK pong");
}

TEST(SimTransport, ControlSocketChangesTheLaserWhileItRuns) {
    EnsureQtApp();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString socketPath = dir.filePath(QStringLiteral("control"));
    auto sim = SimProcess::StartPty({"--control", socketPath, "--set", "set type 5"});
    ASSERT_TRUE(sim);
    PtyClient port(sim->PtyPath());
    ASSERT_TRUE(port.IsOpen());
    EXPECT_EQ(port.Exchange("LT?", 2), "5\r");

    QLocalSocket control;
    control.connectToServer(socketPath);
    ASSERT_TRUE(control.waitForConnected(LimitMs));
    control.write("set type 2\nget type\n");
    QByteArray answers;
    while (answers.count('\n') < 2 && control.waitForReadyRead(LimitMs))
        answers += control.readAll();
    EXPECT_EQ(answers, "OK\nOK 2\n");
    EXPECT_EQ(port.Exchange("LT?", 2), "2\r");
}

TEST(SimTransport, RefusesToStartOnABadControlLine) {
    EXPECT_FALSE(SimProcess::StartPty({"--set", "set type banana"}));
}
