// ser2net, a relay nobody here wrote, between TCP on 127.0.0.1 and the
// simulated laser on a pty.
#include "CommFixture.h"

#include "comm/GenericController.h"
#include "support/Ser2netRelay.h"
#include "support/SimProcess.h"

#include <gtest/gtest.h>

TEST(CommRelay, ExchangesThroughSer2net) {
    if (!Ser2netRelay::Installed())
        GTEST_SKIP() << "ser2net is not installed";
    EnsureQtApp();
    auto sim = SimProcess::StartPty({"--set", "reply SS 0A1F", "--set", "reply VN 2.10"});
    ASSERT_NE(sim, nullptr);
    Ser2netRelay relay;
    ASSERT_TRUE(relay.Start(sim->PtyPath()));

    TConnectionManager manager(QMap<int, QString>{});
    manager.SetPortTimeout(1, 2000);
    ASSERT_TRUE(manager.SetNetworkAddress(1, relay.Address()));
    TGenericController controller(";LA");
    ASSERT_TRUE(controller.Open(1));
    QByteArray reply;
    for (int i = 0; i < 20; ++i) {
        EXPECT_TRUE(controller.Transact(";LA", "SS", true, reply));
        EXPECT_EQ(reply, "0A1F");
    }
    EXPECT_TRUE(controller.Transact(";LA", "VN", true, reply));
    EXPECT_EQ(reply, "2.10");
    EXPECT_TRUE(sim->Transcript().startsWith(";LASS\n"));
    controller.Close();
}
