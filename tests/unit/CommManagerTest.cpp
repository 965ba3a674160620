// The manager and channel without any device: the rules that need no port.
#include "comm/CommChannel.h"
#include "comm/ConnectionManager.h"
#include "comm/GenericController.h"
#include "comm/NetworkAddress.h"
#include "comm/NetworkConnection.h"
#include "diag/ExcMagic.h"
#include "support/QtApp.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

TEST(CommChannelAssertion, EveryOperationNeedsTheManager) {
    ASSERT_EQ(ConnectionManager(), nullptr);
    TCommChannel channel;
    char buffer[8] = {};
    try {
        channel.Open(1, false);
        FAIL() << "no exception";
    } catch (const EAssertionFailed& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("Assertion failure", 0), 0u) << text;
        EXPECT_NE(text.find("SerialChannel"), std::string::npos) << text;
    }
    EXPECT_THROW(channel.Close(), EAssertionFailed);
    EXPECT_THROW(channel.Read(buffer, 4), EAssertionFailed);
    EXPECT_THROW(channel.Write("x", 1), EAssertionFailed);
    EXPECT_THROW(channel.Transact("x", buffer, '\r', 4), EAssertionFailed);
}

class CommManagerNoDevices : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQtApp();
        FManager = std::make_unique<TConnectionManager>(QMap<int, QString>{});
    }
    std::unique_ptr<TConnectionManager> FManager;
};

TEST_F(CommManagerNoDevices, OnlyOneManagerAndItRegistersItself) {
    EXPECT_EQ(ConnectionManager(), FManager.get());
    EXPECT_THROW(TConnectionManager(QMap<int, QString>{}), std::logic_error);
    EXPECT_EQ(ConnectionManager(), FManager.get());
}

TEST_F(CommManagerNoDevices, MissingPortIsNeverAcquired) {
    EXPECT_EQ(FManager->AvailablePorts(), 0u);
    TCommChannel channel;
    for (int attempt = 0; attempt < 3; ++attempt)
        EXPECT_FALSE(channel.Open(4, false));
    EXPECT_FALSE(channel.IsOpen());
    EXPECT_EQ(channel.Port(), 4);
    EXPECT_FALSE(FManager->AcquirePort(0, false));
    EXPECT_FALSE(FManager->AcquirePort(17, true));
}

TEST_F(CommManagerNoDevices, TransactionOnClosedPortWritesNothingAndZeroFills) {
    QTemporaryDir dir;
    TExcMagic log(dir.filePath("ExcMagic.Log"));
    FManager->SetTrace(true);
    char reply[11];
    std::memset(reply, 'x', sizeof reply);
    EXPECT_FALSE(FManager->PortTransact(2, ";LASS\r", '\r', 10, reply));
    for (char c : reply)
        EXPECT_EQ(c, '\0');
    char buffer[5] = {};
    EXPECT_EQ(FManager->PortWrite(2, "abcd", 4), 0u);
    EXPECT_EQ(FManager->PortRead(2, buffer, 4), 0u);
    EXPECT_EQ(FManager->BytesAvailable(2), 0u);
    FManager->PurgePort(2);
    FManager->ReleasePort(2); // a count of 0 is left alone
    EXPECT_EQ(FManager->PortData(2).OpenCount, 0);
    EXPECT_FALSE(QFile::exists(log.LogFileName())) << "nothing was traced";
}

TEST_F(CommManagerNoDevices, ControllerOnClosedPortFailsWithEmptyReply) {
    TGenericController controller(";LA");
    EXPECT_EQ(controller.Address(), ";LA");
    EXPECT_FALSE(controller.Open(1));
    QByteArray reply = "stale";
    EXPECT_FALSE(controller.Transact(";LA", "SS", true, reply));
    EXPECT_TRUE(reply.isEmpty());
}

TEST_F(CommManagerNoDevices, SameHostWithoutBarKeepsTheConnection) {
    EXPECT_TRUE(FManager->SetNetworkAddress(3, "127.0.0.1"));
    TNetworkConnection* first = FManager->PortData(3).Connection;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->RemotePort(), 1024);
    EXPECT_FALSE(FManager->SetNetworkAddress(3, "127.0.0.1"));
    EXPECT_EQ(FManager->PortData(3).Connection, first);
    EXPECT_EQ(FManager->PortData(3).Address, "127.0.0.1");
}

TEST_F(CommManagerNoDevices, AddressWithPortIsReplacedEveryTime) {
    EXPECT_TRUE(FManager->SetNetworkAddress(3, "127.0.0.1|2000"));
    ASSERT_NE(FManager->PortData(3).Connection, nullptr);
    EXPECT_EQ(FManager->PortData(3).Connection->RemotePort(), 2000);
    EXPECT_EQ(FManager->PortData(3).Connection->Host(), "127.0.0.1");
    EXPECT_TRUE(FManager->SetNetworkAddress(3, "127.0.0.1|2000"));
    EXPECT_EQ(FManager->PortData(3).Address, "127.0.0.1|2000");
}

TEST_F(CommManagerNoDevices, EmptyAddressRemovesRoutingOnlyWhereThereIsOne) {
    EXPECT_FALSE(FManager->SetNetworkAddress(5, ""));
    EXPECT_EQ(FManager->PortData(5).Connection, nullptr);
    ASSERT_TRUE(FManager->SetNetworkAddress(5, "127.0.0.1|1"));
    EXPECT_TRUE(FManager->SetNetworkAddress(5, ""));
    EXPECT_EQ(FManager->PortData(5).Connection, nullptr);
    EXPECT_TRUE(FManager->PortData(5).Address.isEmpty());
}

TEST_F(CommManagerNoDevices, RestoreNeedsASave) {
    EXPECT_FALSE(FManager->RestorePorts());
    EXPECT_TRUE(FManager->SavePorts());
    EXPECT_TRUE(FManager->RestorePorts());
    EXPECT_TRUE(FManager->RestorePorts()); // the saved copy can be used again
}

TEST(CommNetworkAddress, HostAndPortOfTheRelayAddress) {
    const auto parse = [](const char* text) {
        const comm::TNetworkAddress a = comm::ParseNetworkAddress(QString::fromLatin1(text));
        return std::make_pair(a.Host, a.Port);
    };
    using Result = std::pair<QString, quint16>;
    EXPECT_EQ(parse("relay.lab"), Result("relay.lab", 1024));
    EXPECT_EQ(parse("relay.lab|2000"), Result("relay.lab", 2000));
    // Only the five characters after the bar count.
    EXPECT_EQ(parse("relay.lab|123456"), Result("relay.lab", 12345));
    EXPECT_EQ(parse("relay.lab|2000x"), Result("relay.lab", 1024));
    EXPECT_EQ(parse("relay.lab|abc"), Result("relay.lab", 1024));
    EXPECT_EQ(parse("relay.lab|"), Result("relay.lab", 1024));
    EXPECT_EQ(parse("a|2000|3000"), Result("a", 1024));
}
