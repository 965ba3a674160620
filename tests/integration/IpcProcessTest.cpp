// Participants of the mailbox in separate processes (the test peer), and
// what survives them: boxes, flags and the flock-based mutex.

#include "integration/IpcProcess.h"
#include "ipc/IPCMessenger.h"
#include "support/IpcTestArea.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <grp.h>
#include <memory>
#include <sys/mman.h>

namespace {

std::unique_ptr<TIpcProcess> StartPeer(const QByteArray& mode) {
    return std::make_unique<TIpcProcess>(IPC_PEER_PATH, QByteArrayList{mode});
}

class IpcProcessTest : public testing::Test {
protected:
    TIpcTestNames FNames;
};

TEST_F(IpcProcessTest, FirstZeroesAndOwnsBoxZeroSecondOwnsBoxOneThirdIsRefused) {
    {
        // Left over from participants that are all gone.
        TRawArea area;
        area.Fill(0x01);
    }
    auto first = StartPeer("claim");
    ASSERT_EQ(first->ReadLine(), "box 0");
    TRawArea area;
    EXPECT_EQ(area.OwnerFlag(1), 0);
    EXPECT_EQ(area.MessageFlag(1), 0);
    EXPECT_EQ(area.Text(1)[0], 0);

    auto second = StartPeer("claim");
    ASSERT_EQ(second->ReadLine(), "box 1");
    auto third = StartPeer("claim");
    EXPECT_EQ(third->ReadLine(), "error All outboxes are already owned");
    third->Finish();

    EXPECT_EQ(area.OwnerFlag(0), 1);
    EXPECT_EQ(area.OwnerFlag(1), 1);
    EXPECT_EQ(second->Ask("send  SS \r"), "sent");
    EXPECT_EQ(first->Ask("recv"), "recv [SS]");
    EXPECT_EQ(first->Ask("send 0A1F"), "sent");
    EXPECT_EQ(second->Ask("recv"), "recv [0A1F]");
}

TEST_F(IpcProcessTest, DestroyedMessengerFreesItsBoxForANewProcess) {
    auto first = StartPeer("claim");
    ASSERT_EQ(first->ReadLine(), "box 0");
    auto second = StartPeer("claim");
    ASSERT_EQ(second->ReadLine(), "box 1");
    EXPECT_EQ(second->Ask("quit"), "left");
    second->Finish();

    auto third = StartPeer("claim");
    EXPECT_EQ(third->ReadLine(), "box 1");
    EXPECT_EQ(first->Ask("send SS"), "sent");
    EXPECT_EQ(third->Ask("recv"), "recv [SS]");
}

TEST_F(IpcProcessTest, KilledHolderOfTheMutexBlocksOthersOnlyWhileItLives) {
    auto holder = StartPeer("claim");
    ASSERT_EQ(holder->ReadLine(), "box 0");
    ASSERT_EQ(holder->Ask("lock"), "locked");
    // While it lives, the lock holds: joining fails after the lock limit of
    // one second (the bounds leave room for the peer's start on a busy machine).
    {
        QElapsedTimer clock;
        clock.start();
        auto blocked = StartPeer("claim");
        EXPECT_EQ(blocked->ReadLine(), "error RequestOwnership failed");
        EXPECT_GE(clock.elapsed(), 900);
        EXPECT_LT(clock.elapsed(), 2000);
        blocked->Finish();
    }

    holder->Kill(SIGKILL);
    // The kernel dropped both of its locks; with nobody else taking part,
    // the next participant starts afresh and gets box 0 again.
    TIPCMessenger next;
    EXPECT_EQ(next.OwnBox(), 0);
    EXPECT_TRUE(next.Lock());
    next.Unlock();
}

TEST_F(IpcProcessTest, AbandonedBoxStaysOwnedUntilEveryParticipantIsGone) {
    auto program = StartPeer("claim");
    ASSERT_EQ(program->ReadLine(), "box 0");
    auto client = StartPeer("claim");
    ASSERT_EQ(client->ReadLine(), "box 1");
    client->WriteLine("abandon");
    client->Finish();

    auto late = StartPeer("claim");
    EXPECT_EQ(late->ReadLine(), "error All outboxes are already owned");
    late->Finish();

    EXPECT_EQ(program->Ask("quit"), "left");
    program->Finish();
    TIPCMessenger fresh;
    EXPECT_EQ(fresh.OwnBox(), 0);
    TRawArea area;
    EXPECT_EQ(area.OwnerFlag(1), 0);
}

TEST_F(IpcProcessTest, ProgramFreesTheBoxOfAKilledClientButNeverOfALiveOne) {
    TIPCMessenger program;
    TRawArea area;
    auto live = StartPeer("claim");
    ASSERT_EQ(live->ReadLine(), "box 1");
    EXPECT_FALSE(program.FreeStaleBoxes());
    EXPECT_EQ(live->Ask("send SS"), "sent");
    EXPECT_EQ(program.Receive(), "SS");
    EXPECT_EQ(live->Ask("quit"), "left");
    live->Finish();

    // Had the refused attempt cost the program its participation lock, this
    // newcomer would find the area unused, zero it and take box 0.
    auto killed = StartPeer("claim");
    ASSERT_EQ(killed->ReadLine(), "box 1");
    EXPECT_EQ(killed->Ask("send SS"), "sent");
    killed->Kill(SIGKILL);
    EXPECT_EQ(area.OwnerFlag(1), 1);
    EXPECT_TRUE(program.FreeStaleBoxes());
    EXPECT_EQ(area.OwnerFlag(1), 0);
    EXPECT_EQ(area.MessageFlag(1), 0);
    EXPECT_FALSE(program.FreeStaleBoxes());

    // The same holds after freeing, which converted the lock twice.
    auto next = StartPeer("claim");
    EXPECT_EQ(next->ReadLine(), "box 1");
    EXPECT_FALSE(program.FreeStaleBoxes());
    program.Send("0A1F");
    EXPECT_EQ(next->Ask("recv"), "recv [0A1F]");
}

TEST_F(IpcProcessTest, RequestWaitsUntilTheProgramLooks) {
    TIPCMessenger program;
    auto client = StartPeer("claim");
    ASSERT_EQ(client->ReadLine(), "box 1");
    EXPECT_EQ(client->Ask("send FIRST"), "sent");
    EXPECT_EQ(client->Ask("send   SS\t"), "sent");
    EXPECT_TRUE(program.HasMessage());
    EXPECT_EQ(program.Receive(), "SS");
    EXPECT_FALSE(program.HasMessage());
}

TEST_F(IpcProcessTest, AnotherUserCannotOpenTheObjects) {
    if (geteuid() != 0)
        GTEST_SKIP() << "acting as another user needs root";
    TIPCMessenger owner;
    const pid_t child = fork();
    if (child == 0) {
        constexpr unsigned Nobody = 65534;
        if (setgroups(0, nullptr) != 0 || setgid(Nobody) != 0 || setuid(Nobody) != 0)
            _exit(10);
        int faults = 0;
        for (const QByteArray& name : {TIPCMessenger::MappingName(), TIPCMessenger::MutexName()}) {
            const int fd = shm_open(name.constData(), O_RDONLY, 0);
            if (fd >= 0 || errno != EACCES)
                faults |= 1;
        }
        try {
            TIPCMessenger intruder;
            faults |= 2;
        } catch (const EInOutError& error) {
            if (std::strcmp(error.what(), "CreateFileMapping failed") != 0)
                faults |= 4;
        }
        _exit(faults);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
