// The channel and manager against the simulated laser on a real pty pair.
#include "CommFixture.h"

#include "comm/CommChannel.h"
#include "comm/GenericController.h"
#include "support/SimProcess.h"

#include <QElapsedTimer>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cstring>

class CommSerial : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQtApp();
        FSim = SimProcess::StartPty();
        ASSERT_NE(FSim, nullptr);
        ASSERT_EQ(FSim->Control("reply SS 0A1F"), "OK");
        // Slot 1 is the simulator; slot 2 maps to nothing that exists.
        FManager = std::make_unique<TConnectionManager>(
            QMap<int, QString>{{1, FSim->PtyPath()}, {2, FSim->PtyPath() + ".missing"}});
        FManager->SetTrace(true);
    }

    TestLog FLog;
    std::unique_ptr<SimProcess> FSim;
    std::unique_ptr<TConnectionManager> FManager;
};

TEST_F(CommSerial, ProbeFindsOnlyDevicesThatOpen) {
    EXPECT_EQ(FManager->AvailablePorts(), 1u << 1);
    EXPECT_TRUE(FManager->PortData(1).Present);
    EXPECT_FALSE(FManager->PortData(2).Present);
    EXPECT_EQ(FManager->PortData(1).Handle, nullptr) << "the probe closes what it opened";
}

TEST_F(CommSerial, SharedHoldersOpenTheDeviceOnce) {
    TCommChannel a, b;
    EXPECT_TRUE(a.Open(1, false));
    EXPECT_TRUE(b.Open(1, false));
    EXPECT_EQ(FManager->PortData(1).OpenCount, 2);
    EXPECT_EQ(FLog.Count("PORT 1 OPENED]"), 1);
    a.Close();
    EXPECT_NE(FManager->PortData(1).Handle, nullptr);
    EXPECT_EQ(FLog.Count("CLOSED]"), 0);
    // The remaining holder still talks to the laser.
    char reply[61];
    EXPECT_TRUE(b.Transact(";LASS\r", reply, '\r', 60));
    EXPECT_STREQ(reply, "0A1F");
    b.Close();
    EXPECT_EQ(FManager->PortData(1).Handle, nullptr);
    EXPECT_EQ(FLog.Count("PORT 1 CLOSED]"), 1);
    b.Close(); // closing again is harmless
    EXPECT_EQ(FLog.Count("CLOSED]"), 1);
}

TEST_F(CommSerial, ExclusiveHolderKeepsOthersOutAndNobodyGainsExclusiveUse) {
    TCommChannel shared, other;
    ASSERT_TRUE(shared.Open(1, false));
    EXPECT_FALSE(other.Open(1, true));
    EXPECT_EQ(FManager->PortData(1).OpenCount, 1);
    EXPECT_FALSE(FManager->PortData(1).Exclusive);
    shared.Close();

    TCommChannel owner;
    ASSERT_TRUE(owner.Open(1, true));
    EXPECT_FALSE(other.Open(1, false));
    EXPECT_FALSE(other.Open(1, true));
    EXPECT_EQ(FManager->PortData(1).OpenCount, 1);
    QByteArray reply;
    EXPECT_TRUE(Exchange(*FManager, 1, "SS", &reply));
    EXPECT_EQ(reply, "0A1F");
}

TEST_F(CommSerial, OpenReleasesTheOldPortEvenWhenTheNewOneFails) {
    TCommChannel channel;
    ASSERT_TRUE(channel.Open(1, true));
    EXPECT_FALSE(channel.Open(2, false));
    EXPECT_FALSE(channel.IsOpen());
    EXPECT_EQ(channel.Port(), 2);
    EXPECT_EQ(FManager->PortData(1).OpenCount, 0);
    EXPECT_EQ(FLog.Count("PORT 1 CLOSED]"), 1);
}

TEST_F(CommSerial, ControllerFramesCommandsAndStripsTheCarriageReturn) {
    TGenericController controller(";LA");
    ASSERT_TRUE(controller.Open(1));
    EXPECT_FALSE(FManager->PortData(1).Exclusive);
    QByteArray reply;
    EXPECT_TRUE(controller.Transact(";LA", "SS", true, reply));
    EXPECT_EQ(reply, "0A1F");
    // An empty command sends the prefix and the carriage return alone.
    controller.Transact(";LA", "", true, reply);
    // Without waiting, true at once and an empty reply although the laser answers.
    EXPECT_TRUE(controller.Transact(";LA", "VN", false, reply));
    EXPECT_TRUE(reply.isEmpty());
    // The unread answer to VN, once it is there, is purged before the next exchange.
    EXPECT_TRUE(SpinUntil([&] { return FManager->BytesAvailable(1) >= 1; }));
    EXPECT_TRUE(controller.Transact(";LA", "SS", true, reply));
    EXPECT_EQ(reply, "0A1F");
    EXPECT_TRUE(SpinUntil([&] { return FSim->Transcript().split('\n').size() >= 5; }));
    const QByteArrayList lines = FSim->Transcript().split('\n');
    EXPECT_EQ(lines.value(0), ";LASS");
    EXPECT_EQ(lines.value(1), ";LA");
    EXPECT_EQ(lines.value(2), ";LAVN");
    EXPECT_EQ(lines.value(3), ";LASS");
}

TEST_F(CommSerial, TraceShowsPortNumberAndEscapedBytes) {
    TCommChannel channel;
    ASSERT_TRUE(channel.Open(1, false));
    ASSERT_TRUE(Exchange(*FManager, 1, "SS"));
    const QByteArrayList lines = FLog.Lines();
    const QRegularExpression write(R"(^\[\d+:WRITE1\];LASS\$0D$)");
    EXPECT_TRUE(QRegularExpression(R"(^\[\d+:PORT 1 OPENED\]$)").match(lines.value(0)).hasMatch());
    EXPECT_TRUE(write.match(lines.value(1)).hasMatch()) << lines.value(1).constData();
    // The reply may come in more than one read; joined, it is the whole line.
    QByteArray readText;
    for (const QByteArray& line : lines)
        if (line.contains(":READ1]"))
            readText += line.mid(line.indexOf(']') + 1);
    EXPECT_EQ(readText, "0A1F$0D");
}

TEST_F(CommSerial, TraceOffWritesNothingWhateverHappens) {
    FManager->SetTrace(false);
    FManager->SetPortTimeout(1, 200);
    TCommChannel channel;
    ASSERT_TRUE(channel.Open(1, false));
    ASSERT_TRUE(Exchange(*FManager, 1, "SS"));
    ASSERT_EQ(FSim->Control("fault silent"), "OK");
    EXPECT_FALSE(Exchange(*FManager, 1, "SS"));
    channel.Close();
    EXPECT_TRUE(FLog.Lines().isEmpty());
}

TEST_F(CommSerial, SilentDeviceTimesOutAfterOneSecondByDefault) {
    TCommChannel channel;
    ASSERT_TRUE(channel.Open(1, false));
    ASSERT_EQ(FSim->Control("fault silent"), "OK");
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(Exchange(*FManager, 1, "SS"));
    EXPECT_GE(clock.elapsed(), 900);
    EXPECT_LT(clock.elapsed(), 2000);
}

TEST_F(CommSerial, TerminatorZeroReadsNothing) {
    TCommChannel channel;
    ASSERT_TRUE(channel.Open(1, false));
    char reply[11];
    EXPECT_TRUE(channel.Transact(";LASS\r", reply, '\0', 10));
    EXPECT_STREQ(reply, "");
    EXPECT_EQ(FLog.Count(":READ"), 0);
}

TEST_F(CommSerial, LongReplyIsCutToTheReplySize) {
    TCommChannel channel;
    ASSERT_TRUE(channel.Open(1, false));
    ASSERT_EQ(FSim->Control("fault long"), "OK");
    QByteArray reply;
    EXPECT_TRUE(Exchange(*FManager, 1, "SS", &reply));
    EXPECT_EQ(reply.size(), 60);
}

TEST_F(CommSerial, BytesAfterTheTerminatorAreDroppedOrPurged) {
    TCommChannel channel;
    ASSERT_TRUE(channel.Open(1, false));
    ASSERT_EQ(FSim->Control("fault extra"), "OK");
    QByteArray reply;
    EXPECT_TRUE(Exchange(*FManager, 1, "SS", &reply));
    EXPECT_EQ(reply, "0A1F");
    ASSERT_EQ(FSim->Control("fault nul"), "OK");
    EXPECT_TRUE(Exchange(*FManager, 1, "SS", &reply));
    EXPECT_EQ(reply, "0A1F");
    ASSERT_EQ(FSim->Control("fault none"), "OK");
    ASSERT_EQ(FSim->Control("reply VN 3.14"), "OK");
    EXPECT_TRUE(Exchange(*FManager, 1, "VN", &reply));
    EXPECT_EQ(reply, "3.14");
}

TEST_F(CommSerial, AnswerWithoutTerminatorTimesOutWithWhatArrived) {
    TCommChannel channel;
    ASSERT_TRUE(channel.Open(1, false));
    FManager->SetPortTimeout(1, 300);
    ASSERT_EQ(FSim->Control("fault nocr"), "OK");
    QByteArray reply;
    EXPECT_FALSE(Exchange(*FManager, 1, "SS", &reply));
    EXPECT_EQ(reply, "0A1F");
    EXPECT_EQ(FLog.Count("PORT 1 TIMEOUT!]"), 1);
}

TEST_F(CommSerial, LateAnswerWithinTheTimeoutCompletes) {
    TCommChannel channel;
    ASSERT_TRUE(channel.Open(1, false));
    FManager->SetPortTimeout(1, 5000);
    ASSERT_EQ(FSim->Control("fault late 150"), "OK");
    QByteArray reply;
    EXPECT_TRUE(Exchange(*FManager, 1, "SS", &reply));
    EXPECT_EQ(reply, "0A1F");
    EXPECT_EQ(FLog.Count("TIMEOUT!"), 0);
}

TEST_F(CommSerial, ReadsNeverWaitAndDeliverWhatArrived) {
    TCommChannel channel;
    ASSERT_TRUE(channel.Open(1, false));
    char buffer[33];
    EXPECT_EQ(channel.Read(buffer, 32), 0u);
    EXPECT_EQ(channel.Write(";LASS\r", 6), 6u);
    QByteArray got;
    ASSERT_TRUE(SpinUntil([&] {
        const unsigned n = channel.Read(buffer, 2); // small reads: the rest stays queued
        got.append(buffer, n);
        EXPECT_LE(n, 2u);
        return got.endsWith('\r');
    }));
    EXPECT_EQ(got, "0A1F\r");
    EXPECT_EQ(FManager->BytesAvailable(1), 0u);
}

TEST_F(CommSerial, SavedPortsComeBackWithTheirFlagsAndCounts) {
    TCommChannel owner;
    ASSERT_TRUE(owner.Open(1, true));
    EXPECT_TRUE(FManager->SavePorts());
    FManager->ReleaseAllPorts();
    EXPECT_EQ(FManager->PortData(1).OpenCount, 0);
    EXPECT_TRUE(owner.IsOpen()) << "a channel keeps its own idea of being open";
    EXPECT_FALSE(Exchange(*FManager, 1, "SS"));
    EXPECT_TRUE(FManager->RestorePorts());
    EXPECT_EQ(FManager->PortData(1).OpenCount, 1);
    EXPECT_TRUE(FManager->PortData(1).Exclusive);
    EXPECT_TRUE(Exchange(*FManager, 1, "SS"));
}
