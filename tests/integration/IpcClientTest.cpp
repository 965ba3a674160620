// trevalon-ipc and the Python example against a peer in another process
// that answers requests the way the program does.

#include "integration/IpcProcess.h"
#include "ipc/IPCMessenger.h"
#include "support/IpcTestArea.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sys/stat.h>

namespace {

class IpcClientTest : public testing::Test {
protected:
    void SetUp() override {
        FProgram = std::make_unique<TIpcProcess>(IPC_PEER_PATH, QByteArrayList{"serve"});
        ASSERT_EQ(FProgram->ReadLine(), "box 0");
    }

    static std::unique_ptr<TIpcProcess> StartClient(const QByteArrayList& args) {
        return std::make_unique<TIpcProcess>(IPC_CLIENT_PATH, args);
    }

    // True when the client's box was given back: a newcomer can claim it.
    static bool ClientBoxIsFree() {
        try {
            TIPCMessenger newcomer;
            return newcomer.OwnBox() == 1;
        } catch (const EInOutError&) {
            return false;
        }
    }

    TIpcTestNames FNames;
    std::unique_ptr<TIpcProcess> FProgram;
};

TEST_F(IpcClientTest, PrintsEveryReplyExactlyOnItsOwnLine) {
    // A lone "?" is data, not the laser refusing.
    auto client = StartClient({"SS", "EMPTY", "=?", " RR 10 \r\n", ""});
    const int status = client->Finish();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << client->Errors().constData();
    EXPECT_EQ(client->Output(), "R:SS\n\n?\nR:RR 10\nR:\n");
    EXPECT_EQ(FProgram->ReadLine(), "got SS");
    EXPECT_TRUE(ClientBoxIsFree());
}

TEST_F(IpcClientTest, ErrorReplyEndsWithStatusFourAfterEveryCommand) {
    auto client = StartClient({"ERR", "=?4x", "SS"});
    const int status = client->Finish();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 4);
    EXPECT_EQ(client->Output(), "?1\n?4x\nR:SS\n");
    EXPECT_TRUE(client->Errors().contains("ERR")) << client->Errors().constData();
    EXPECT_TRUE(ClientBoxIsFree());
}

TEST_F(IpcClientTest, TimeOutEndsWithStatusThreeAfterTheRepliesSoFar) {
    // An error reply before the time-out does not hide it.
    auto client = StartClient({"--timeout", "1", "SS", "ERR", "SILENT", "NEVER SENT"});
    const int status = client->Finish();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(client->Output(), "R:SS\n?1\n");
    EXPECT_TRUE(client->Errors().contains("SILENT")) << client->Errors().constData();
    EXPECT_TRUE(ClientBoxIsFree());
}

TEST_F(IpcClientTest, NoFreeBoxEndsWithStatusTwoAndTheMessage) {
    auto other = std::make_unique<TIpcProcess>(IPC_PEER_PATH, QByteArrayList{"claim"});
    ASSERT_EQ(other->ReadLine(), "box 1");
    auto client = StartClient({"SS"});
    const int status = client->Finish();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_TRUE(client->Errors().contains("All outboxes are already owned"));
    EXPECT_EQ(client->Output(), "");
}

TEST_F(IpcClientTest, AloneInTheMailboxSaysTrevalonIsNotRunning) {
    FProgram.reset();
    // A long time-out: waiting it out would end with status 3, not 2.
    auto client = StartClient({"--timeout", "60", "SS"});
    const int status = client->Finish();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_TRUE(client->Errors().contains("Trevalon is not running"))
        << client->Errors().constData();
    EXPECT_EQ(client->Output(), "");
}

TEST_F(IpcClientTest, MailboxThatCannotBeOpenedEndsWithStatusTwo) {
    ASSERT_EQ(chmod(("/dev/shm" + TIPCMessenger::MutexName()).constData(), 0644), 0);
    auto client = StartClient({"SS"});
    const int status = client->Finish();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_TRUE(client->Errors().contains("CreateMutex failed"));
}

TEST_F(IpcClientTest, StopSignalsGiveTheBoxBack) {
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        auto client = StartClient({"--timeout", "60", "SILENT"});
        // The request has arrived, so the client owns its box and waits.
        ASSERT_EQ(FProgram->ReadLine(), "got SILENT");
        client->Kill(signalNumber);
        const int status = client->Finish();
        ASSERT_TRUE(WIFSIGNALED(status)) << signalNumber;
        EXPECT_EQ(WTERMSIG(status), signalNumber);
        EXPECT_TRUE(ClientBoxIsFree()) << signalNumber;
    }
}

TEST_F(IpcClientTest, ClientKilledWhileWaitingDoesNotLockOutTheNext) {
    auto killed = StartClient({"--timeout", "60", "SILENT"});
    ASSERT_EQ(FProgram->ReadLine(), "got SILENT");
    killed->Kill(SIGKILL);
    ASSERT_EQ(FProgram->ReadLine(), "freed");

    auto next = StartClient({"SS"});
    const int status = next->Finish();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << next->Errors().constData();
    EXPECT_EQ(next->Output(), "R:SS\n");
}

TEST_F(IpcClientTest, UsageErrorsEndWithStatusOne) {
    for (const QByteArrayList& args :
         {QByteArrayList{}, QByteArrayList{"--timeout", "soon", "SS"}, QByteArrayList{"--bogus"}}) {
        auto client = StartClient(args);
        const int status = client->Finish();
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 1) << args.join(' ').constData();
    }
}

TEST_F(IpcClientTest, PythonExampleTalksToTheProgram) {
    if (std::system("python3 -c '' >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3 is not installed";
    auto example = std::make_unique<TIpcProcess>(
        "/bin/sh",
        QByteArrayList{"-c", "exec python3 \"$0\" \"$@\"", IPC_EXAMPLE_PATH, "SS", "ERR", "EMPTY"});
    const int status = example->Finish();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << example->Errors().constData();
    EXPECT_EQ(example->Output(), "R:SS\n?1\n\n");
    EXPECT_TRUE(ClientBoxIsFree());
}

} // namespace
