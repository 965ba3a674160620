// Ports routed to a TCP relay on 127.0.0.1: the simulated laser, and peers
// written here that refuse, stay silent, drop the line or never accept.
#include "CommFixture.h"

#include "comm/CommChannel.h"
#include "comm/GenericController.h"
#include "comm/NetworkConnection.h"
#include "support/SimProcess.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QString Loopback(quint16 port) {
    return QStringLiteral("127.0.0.1|%1").arg(port);
}

// A loopback port on which nothing listens.
quint16 ClosedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

// A peer the test drives by hand: accepts one client and lets the test read
// what arrived and write or close.
class ManualPeer {
public:
    ManualPeer() { FServer.listen(QHostAddress::LocalHost, 0); }
    quint16 Port() const { return FServer.serverPort(); }

    QTcpSocket* Client() {
        if (!FClient && FServer.hasPendingConnections())
            FClient = FServer.nextPendingConnection();
        return FClient;
    }

    // Everything received until `size` bytes are there (bounded).
    QByteArray Receive(qsizetype size) {
        SpinUntil([&] {
            if (Client() && Client()->bytesAvailable() > 0)
                FReceived += Client()->readAll();
            return FReceived.size() >= size;
        });
        return FReceived;
    }

private:
    QTcpServer FServer;
    QPointer<QTcpSocket> FClient;
    QByteArray FReceived;
};

} // namespace

class CommNetwork : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQtApp();
        FManager = std::make_unique<TConnectionManager>(QMap<int, QString>{});
        FManager->SetTrace(true);
    }

    TestLog FLog;
    std::unique_ptr<TConnectionManager> FManager;
};

TEST_F(CommNetwork, RoutedPortNeedsNoSerialDeviceAndExchangesLines) {
    auto sim = SimProcess::StartTcp({"--set", "reply SS 0A1F"});
    ASSERT_NE(sim, nullptr);
    ASSERT_TRUE(FManager->SetNetworkAddress(7, Loopback(sim->TcpPort())));
    TGenericController controller(";LA");
    ASSERT_TRUE(controller.Open(7));
    EXPECT_EQ(FLog.Count("PORT 7 OPENED]"), 1);
    QByteArray reply;
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(controller.Transact(";LA", "SS", true, reply));
        EXPECT_EQ(reply, "0A1F");
    }
    EXPECT_TRUE(FLog.Lines().value(1).endsWith(":WRITE7];LASS$0D"))
        << FLog.Lines().value(1).constData();
    ASSERT_EQ(sim->Control("fault nocr"), "OK");
    FManager->SetPortTimeout(7, 300);
    EXPECT_FALSE(controller.Transact(";LA", "SS", true, reply));
    EXPECT_EQ(reply, "0A1F");
    EXPECT_EQ(FLog.Count("PORT 7 TIMEOUT!]"), 1);
}

TEST_F(CommNetwork, ReleasingKeepsTheConnectionForTheNextAcquire) {
    auto sim = SimProcess::StartTcp();
    ASSERT_NE(sim, nullptr);
    ASSERT_TRUE(FManager->SetNetworkAddress(2, Loopback(sim->TcpPort())));
    TCommChannel a, b;
    ASSERT_TRUE(a.Open(2, false));
    ASSERT_TRUE(b.Open(2, false));
    EXPECT_FALSE(TCommChannel().Open(2, true));
    a.Close();
    b.Close();
    EXPECT_EQ(FLog.Count("PORT 2 CLOSED]"), 1);
    TNetworkConnection* connection = FManager->PortData(2).Connection;
    ASSERT_NE(connection, nullptr);
    EXPECT_TRUE(connection->Connected());
    QTcpSocket* socket = connection->Socket();
    ASSERT_TRUE(a.Open(2, true));
    EXPECT_EQ(FManager->PortData(2).Connection, connection);
    EXPECT_EQ(connection->Socket(), socket);
    EXPECT_TRUE(Exchange(*FManager, 2, "SS"));
}

TEST_F(CommNetwork, RefusedConnectionFailsTheAcquire) {
    FManager->SetPortTimeout(1, 100);
    ASSERT_TRUE(FManager->SetNetworkAddress(1, Loopback(ClosedPort())));
    TCommChannel channel;
    EXPECT_FALSE(channel.Open(1, false));
    EXPECT_NE(FManager->PortData(1).Connection->LastError(), 0);
    EXPECT_EQ(FManager->PortData(1).OpenCount, 0);
    EXPECT_EQ(FLog.Count("OPENED"), 0);
    EXPECT_FALSE(Exchange(*FManager, 1, "SS"));
}

TEST_F(CommNetwork, WritesStopAtTheFirstNulWithinTheLength) {
    ManualPeer peer;
    ASSERT_TRUE(FManager->SetNetworkAddress(3, Loopback(peer.Port())));
    ASSERT_TRUE(FManager->AcquirePort(3, false));
    EXPECT_EQ(FManager->PortWrite(3, "AB\0CD", 5), 5u);
    // A buffer without NUL: nothing past the length given is sent.
    const char noNul[4] = {'X', 'Y', 'Z', 'W'};
    EXPECT_EQ(FManager->PortWrite(3, noNul, 3), 3u);
    EXPECT_EQ(FManager->PortWrite(3, "\r", 1), 1u);
    EXPECT_EQ(peer.Receive(6), "ABXYZ\r");
    EXPECT_EQ(FLog.Count(":WRITE3]AB"), 1);
    EXPECT_EQ(FLog.Count(":WRITE3]XYZ"), 1);
}

TEST_F(CommNetwork, NulFromTheRelayEndsTheTextOfThatRead) {
    ManualPeer peer;
    ASSERT_TRUE(FManager->SetNetworkAddress(3, Loopback(peer.Port())));
    ASSERT_TRUE(FManager->AcquirePort(3, false));
    ASSERT_TRUE(SpinUntil([&] { return peer.Client() != nullptr; }));
    peer.Client()->write(QByteArray("AB\0CD", 5));
    peer.Client()->flush();
    char buffer[21];
    unsigned count = 0;
    ASSERT_TRUE(SpinUntil([&] { return (count = FManager->PortRead(3, buffer, 20)) > 0; }));
    EXPECT_EQ(count, 5u);
    EXPECT_STREQ(buffer, "AB");
    EXPECT_EQ(FLog.Count(":READ3]AB"), 1);
}

TEST_F(CommNetwork, SilentRelayTimesOutAndPurgesWhatCameLate) {
    ManualPeer peer;
    FManager->SetPortTimeout(3, 250);
    ASSERT_TRUE(FManager->SetNetworkAddress(3, Loopback(peer.Port())));
    ASSERT_TRUE(FManager->AcquirePort(3, false));
    QByteArray reply;
    EXPECT_FALSE(Exchange(*FManager, 3, "SS", &reply));
    EXPECT_TRUE(reply.isEmpty());
    EXPECT_EQ(peer.Receive(6), ";LASS\r");
    // The late answer waits until the next exchange purges it.
    peer.Client()->write("LATE\r");
    peer.Client()->flush();
    ASSERT_TRUE(SpinUntil([&] {
        FManager->PortData(3).Connection->Collect();
        return FManager->BytesAvailable(3) > 0;
    }));
    EXPECT_FALSE(Exchange(*FManager, 3, "SS", &reply));
    EXPECT_TRUE(reply.isEmpty());
}

TEST_F(CommNetwork, DroppedConnectionTimesOutAndKeepsTheRouting) {
    ManualPeer peer;
    QSignalSpy errors(FManager.get(), &TConnectionManager::NetworkError);
    FManager->SetPortTimeout(4, 200);
    ASSERT_TRUE(FManager->SetNetworkAddress(4, Loopback(peer.Port())));
    ASSERT_TRUE(FManager->AcquirePort(4, false));
    ASSERT_TRUE(SpinUntil([&] { return peer.Client() != nullptr; }));
    peer.Client()->abort();
    ASSERT_TRUE(SpinUntil([&] { return !FManager->PortData(4).Connection->Connected(); }));
    EXPECT_FALSE(Exchange(*FManager, 4, "SS"));
    EXPECT_NE(FManager->PortData(4).Connection, nullptr);
    EXPECT_EQ(FManager->PortData(4).OpenCount, 1);
    // The peer going away is not an error to show.
    QCoreApplication::processEvents();
    EXPECT_EQ(errors.count(), 0);
    // The next open after a release connects again.
    FManager->ReleasePort(4);
    EXPECT_TRUE(FManager->AcquirePort(4, false));
}

TEST_F(CommNetwork, ErrorWhileConnectedClosesAndIsReportedFromTheEventLoop) {
    ManualPeer peer;
    QSignalSpy errors(FManager.get(), &TConnectionManager::NetworkError);
    FManager->SetPortTimeout(5, 100);
    ASSERT_TRUE(FManager->SetNetworkAddress(5, Loopback(peer.Port())));
    ASSERT_TRUE(FManager->AcquirePort(5, false));
    TNetworkConnection* connection = FManager->PortData(5).Connection;
    // The socket layer's error event, as a failed send would deliver it.
    Q_EMIT connection->Socket()->errorOccurred(QAbstractSocket::NetworkError);
    EXPECT_FALSE(connection->Connected());
    EXPECT_EQ(connection->Socket()->state(), QAbstractSocket::UnconnectedState);
    EXPECT_EQ(errors.count(), 0) << "not from inside the socket's signal";
    ASSERT_TRUE(SpinUntil([&] { return errors.count() == 1; }));
    EXPECT_EQ(errors.at(0).at(0).toInt(), 5);
    EXPECT_TRUE(errors.at(0).at(1).toString().contains("127.0.0.1"));
    EXPECT_FALSE(Exchange(*FManager, 5, "SS"));
}

TEST_F(CommNetwork, SaveAndRestoreBringBackHeldPortsOnly) {
    auto serial = SimProcess::StartPty();
    auto relay = SimProcess::StartTcp();
    ASSERT_NE(serial, nullptr);
    ASSERT_NE(relay, nullptr);
    FManager.reset();
    FManager = std::make_unique<TConnectionManager>(QMap<int, QString>{{1, serial->PtyPath()}});
    ASSERT_TRUE(FManager->AcquirePort(1, true));
    ASSERT_TRUE(FManager->SetNetworkAddress(2, Loopback(relay->TcpPort())));
    ASSERT_TRUE(FManager->AcquirePort(2, false));
    ASSERT_TRUE(FManager->AcquirePort(2, false));
    ASSERT_TRUE(FManager->SetNetworkAddress(3, Loopback(relay->TcpPort()))); // routed, not held
    EXPECT_TRUE(FManager->SavePorts());
    FManager->ReleaseAllPorts();
    EXPECT_EQ(FManager->PortData(2).Connection, nullptr);
    EXPECT_EQ(FManager->PortData(3).Connection, nullptr);

    EXPECT_TRUE(FManager->RestorePorts());
    EXPECT_EQ(FManager->PortData(1).OpenCount, 1);
    EXPECT_TRUE(FManager->PortData(1).Exclusive);
    EXPECT_EQ(FManager->PortData(2).OpenCount, 2);
    EXPECT_FALSE(FManager->PortData(2).Exclusive);
    EXPECT_EQ(FManager->PortData(2).Address, Loopback(relay->TcpPort()));
    EXPECT_EQ(FManager->PortData(3).Connection, nullptr);
    EXPECT_EQ(FManager->PortData(3).OpenCount, 0);
    EXPECT_TRUE(Exchange(*FManager, 1, "SS"));
    EXPECT_TRUE(Exchange(*FManager, 2, "SS"));
}

TEST_F(CommNetwork, RestoreWhoseReacquireFailsKeepsTheCount) {
    ManualPeer* peer = new ManualPeer;
    FManager->SetPortTimeout(6, 100);
    ASSERT_TRUE(FManager->SetNetworkAddress(6, Loopback(peer->Port())));
    ASSERT_TRUE(FManager->AcquirePort(6, false));
    FManager->SavePorts();
    delete peer; // the relay is gone: the re-acquire is refused
    EXPECT_TRUE(FManager->RestorePorts());
    EXPECT_EQ(FManager->PortData(6).OpenCount, 1);
    EXPECT_FALSE(Exchange(*FManager, 6, "SS"));
    FManager->ReleasePort(6);
    EXPECT_EQ(FManager->PortData(6).OpenCount, 0);
}

// A relay that never completes the connection: a loopback listener whose
// accept queue is full, so the kernel ignores further handshakes.
TEST_F(CommNetwork, RelayThatNeverAnswersFailsAfterTheWaitWhileEventsRun) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    socklen_t length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    const quint16 port = ntohs(address.sin_port);
    // Fill the queue with connections nobody accepts.
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
        fillers.push_back(s);
    }

    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(100);
    ASSERT_TRUE(FManager->SetNetworkAddress(8, Loopback(port)));
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(FManager->AcquirePort(8, false));
    // The connect wait is ten seconds.
    EXPECT_GE(clock.elapsed(), 9000);
    EXPECT_LT(clock.elapsed(), 20000);
    EXPECT_GT(ticks, 0) << "timers ran during the wait";
    EXPECT_EQ(FManager->PortData(8).OpenCount, 0);
    for (int s : fillers)
        ::close(s);
    ::close(listener);
}

// Closing the main window during the connect wait tells the application to
// quit; from then on Qt refuses to run event loops. The wait must still see
// the connection come up, and must not spin while it waits.
TEST_F(CommNetwork, ConnectWaitWorksWhileTheApplicationQuits) {
    ManualPeer peer;
    ASSERT_TRUE(FManager->SetNetworkAddress(9, Loopback(peer.Port())));
    QCoreApplication::exit(0);
    const bool acquired = FManager->AcquirePort(9, false);
    // Let the application run and end once, which lifts the quit state again
    // for the tests that follow.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    EXPECT_TRUE(acquired);
}
