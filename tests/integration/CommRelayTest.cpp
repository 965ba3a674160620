// ser2net, a relay nobody here wrote, between TCP on 127.0.0.1 and the
// simulated laser on a pty.
#include "CommFixture.h"

#include "comm/GenericController.h"
#include "support/SimProcess.h"

#include <QFile>
#include <QProcess>
#include <QTcpServer>

#include <gtest/gtest.h>

namespace {

const char* const Ser2net = "/usr/sbin/ser2net";

quint16 FreePort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

} // namespace

TEST(CommRelay, ExchangesThroughSer2net) {
    if (!QFile::exists(Ser2net))
        GTEST_SKIP() << "ser2net is not installed";
    EnsureQtApp();
    auto sim = SimProcess::StartPty({"--set", "reply SS 0A1F", "--set", "reply VN 2.10"});
    ASSERT_NE(sim, nullptr);
    QTemporaryDir dir;
    const quint16 port = FreePort();
    QFile config(dir.filePath("ser2net.yaml"));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral("connection: &laser\n"
                                "  accepter: tcp,127.0.0.1,%1\n"
                                "  connector: serialdev,%2,9600n81,local\n"
                                "  enable: on\n")
                     .arg(port)
                     .arg(sim->PtyPath())
                     .toUtf8());
    config.close();
    QProcess relay;
    relay.setProcessChannelMode(QProcess::ForwardedChannels);
    relay.start(Ser2net, {"-n", "-c", config.fileName(), "-P", dir.filePath("ser2net.pid")});
    ASSERT_TRUE(relay.waitForStarted(20000));

    TConnectionManager manager(QMap<int, QString>{});
    manager.SetPortTimeout(1, 2000);
    ASSERT_TRUE(manager.SetNetworkAddress(1, QStringLiteral("127.0.0.1|%1").arg(port)));
    TGenericController controller(";LA");
    // The relay needs a moment to listen; a refused connect fails at once.
    ASSERT_TRUE(SpinUntil([&] { return controller.Open(1); }, 20000));
    QByteArray reply;
    for (int i = 0; i < 20; ++i) {
        EXPECT_TRUE(controller.Transact(";LA", "SS", true, reply));
        EXPECT_EQ(reply, "0A1F");
    }
    EXPECT_TRUE(controller.Transact(";LA", "VN", true, reply));
    EXPECT_EQ(reply, "2.10");
    EXPECT_TRUE(sim->Transcript().startsWith(";LASS\n"));
    controller.Close();
    relay.terminate();
    relay.waitForFinished(20000);
}
