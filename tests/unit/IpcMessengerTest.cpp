// The mailbox within one process: several messengers in one process hold
// their own descriptors and locks, so they meet as separate participants.

#include "ipc/IPCMessenger.h"
#include "support/IpcTestArea.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>

namespace {

int OpenDescriptorCount() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir) != nullptr)
            ++count;
        closedir(dir);
    }
    return count;
}

QByteArray CreationError() {
    try {
        TIPCMessenger messenger;
    } catch (const EInOutError& error) {
        return error.what();
    }
    return QByteArray();
}

class IpcMessengerTest : public testing::Test {
protected:
    TIpcTestNames FNames;
};

TEST_F(IpcMessengerTest, FirstTwoParticipantsOwnTheBoxesAndAThirdIsRefusedWithoutHarm) {
    TIPCMessenger program;
    TIPCMessenger client;
    EXPECT_EQ(program.OwnBox(), 0);
    EXPECT_EQ(client.OwnBox(), 1);
    client.Send("SS");

    const int descriptors = OpenDescriptorCount();
    EXPECT_EQ(CreationError(), "All outboxes are already owned");
    EXPECT_EQ(OpenDescriptorCount(), descriptors);

    TRawArea area;
    EXPECT_EQ(area.OwnerFlag(0), 1);
    EXPECT_EQ(area.OwnerFlag(1), 1);
    ASSERT_TRUE(program.HasMessage());
    EXPECT_EQ(program.Receive(), "SS");
}

TEST_F(IpcMessengerTest, ObjectsAreOpenToTheirOwnerOnly) {
    // Even a umask that takes the owner's write bit away leaves 0600.
    const mode_t previous = umask(0277);
    TIPCMessenger messenger;
    umask(previous);
    for (const QByteArray& name : {TIPCMessenger::MappingName(), TIPCMessenger::MutexName()}) {
        struct stat info {};
        ASSERT_EQ(stat(("/dev/shm" + name).constData(), &info), 0) << name.constData();
        EXPECT_EQ(info.st_mode & 0777, 0600u) << name.constData();
        EXPECT_EQ(info.st_uid, geteuid());
    }
    struct stat area {};
    ASSERT_EQ(stat(("/dev/shm" + TIPCMessenger::MappingName()).constData(), &area), 0);
    EXPECT_EQ(area.st_size, TIPCMessenger::AreaSize);
}

TEST_F(IpcMessengerTest, ObjectsThatOthersCouldReachAreRefused) {
    const int descriptors = OpenDescriptorCount();
    {
        TRawArea area;
        area.OwnerFlag(0) = 1;
    }
    const QByteArray areaPath = "/dev/shm" + TIPCMessenger::MappingName();
    ASSERT_EQ(chmod(areaPath.constData(), 0666), 0);
    EXPECT_EQ(CreationError(), "CreateFileMapping failed");
    ASSERT_EQ(chmod(areaPath.constData(), 0600), 0);

    const int mutex = shm_open(TIPCMessenger::MutexName().constData(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(mutex, 0);
    ASSERT_EQ(fchmod(mutex, 0660), 0);
    close(mutex);
    EXPECT_EQ(CreationError(), "CreateMutex failed");
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
    // Neither attempt got as far as the area: the stale flag is untouched.
    TRawArea area;
    EXPECT_EQ(area.OwnerFlag(0), 1);
}

TEST_F(IpcMessengerTest, RequestIsTakenTrimmedOnceAndOnlyFromTheOtherBox) {
    TIPCMessenger program;
    TIPCMessenger client;
    client.Send(" \t SS\r\n");
    EXPECT_FALSE(client.HasMessage());
    EXPECT_EQ(client.Receive(), "");
    EXPECT_TRUE(program.HasMessage());
    EXPECT_EQ(program.Receive(), "SS");
    EXPECT_FALSE(program.HasMessage());
    EXPECT_EQ(program.Receive(), "");
    program.Send("0A1F");
    EXPECT_EQ(client.Receive(), "0A1F");
}

TEST_F(IpcMessengerTest, TrimmingKeepsInnerSpacesAndHighBytes) {
    TIPCMessenger program;
    TIPCMessenger client;
    client.Send("\x01 RR 10 \xE9\x7F\x1F ");
    EXPECT_EQ(program.Receive(), "RR 10 \xE9\x7F");
}

TEST_F(IpcMessengerTest, LongTextsAreCutSoThatTheirNulStaysInTheBox) {
    TIPCMessenger program;
    TIPCMessenger client;
    TRawArea area;

    const QByteArray full(TIPCMessenger::MaxMessageLength, 'a');
    client.Send(full);
    EXPECT_EQ(program.Receive(), full);

    QByteArray longer(1500, 'b');
    longer[1022] = 'c';
    client.Send(longer);
    EXPECT_EQ(area.Text(1)[1023], 0);
    EXPECT_EQ(program.Receive(), longer.left(1023));

    client.Send("short");
    EXPECT_EQ(program.Receive(), "short");
    EXPECT_EQ(area.Text(1)[6], 0) << "tail of the longer message left behind the NUL";
}

TEST_F(IpcMessengerTest, SecondRequestOverwritesAnUntakenFirst) {
    TIPCMessenger program;
    TIPCMessenger client;
    client.Send("FIRST REQUEST");
    client.Send("SS");
    EXPECT_EQ(program.Receive(), "SS");
    EXPECT_FALSE(program.HasMessage());
}

TEST_F(IpcMessengerTest, BoxWithoutNulIsReadUpToItsEndOnly) {
    TIPCMessenger first;
    TIPCMessenger second;
    TRawArea area;
    std::memset(area.Text(0), 'x', TIPCMessenger::BoxTextSize);
    std::memset(area.Text(1), 'y', TIPCMessenger::BoxTextSize);
    area.MessageFlag(0) = 1;
    area.MessageFlag(1) = 1;
    EXPECT_EQ(second.Receive(), QByteArray(TIPCMessenger::BoxTextSize, 'x'));
    EXPECT_EQ(first.Receive(), QByteArray(TIPCMessenger::BoxTextSize, 'y'));
}

TEST_F(IpcMessengerTest, FlagsOutsideZeroAndOneCountAsSet) {
    TIPCMessenger program;
    TRawArea area;
    area.OwnerFlag(1) = 0xFF;
    area.MessageFlag(1) = 0x80;
    area.SetText(1, "SS");
    EXPECT_TRUE(program.HasMessage());
    EXPECT_EQ(program.Receive(), "SS");
    EXPECT_EQ(area.MessageFlag(1), 0);
    // A box with such an owner flag is owned: a newcomer finds none free.
    EXPECT_EQ(CreationError(), "All outboxes are already owned");
    EXPECT_EQ(area.OwnerFlag(1), 0xFF);
}

TEST_F(IpcMessengerTest, MessageOfABoxWithoutOwnerIsNotTaken) {
    TIPCMessenger program;
    TRawArea area;
    area.MessageFlag(1) = 1;
    area.SetText(1, "SS");
    EXPECT_FALSE(program.HasMessage());
    EXPECT_EQ(program.Receive(), "");
    EXPECT_EQ(area.MessageFlag(1), 1);
}

TEST_F(IpcMessengerTest, BusyMutexKeepsTheRequestWaitingAndDropsTheReply) {
    TIPCMessenger program;
    TIPCMessenger client;
    client.Send("SS");
    program.SetLockTimeout(0);
    ASSERT_TRUE(client.Lock());
    EXPECT_TRUE(program.HasMessage());
    EXPECT_EQ(program.Receive(), "");
    program.Send("dropped");
    client.Unlock();
    EXPECT_EQ(program.Receive(), "SS");
    EXPECT_FALSE(client.HasMessage());
}

TEST_F(IpcMessengerTest, DestructionFreesTheBoxAndANewcomerStartsWithoutItsMessage) {
    auto program = std::make_unique<TIPCMessenger>();
    auto client = std::make_unique<TIPCMessenger>();
    program->Send("reply nobody took");
    program.reset();
    TRawArea area;
    EXPECT_EQ(area.OwnerFlag(0), 0);
    EXPECT_EQ(area.MessageFlag(0), 1) << "the own message stays as it is";

    TIPCMessenger next;
    EXPECT_EQ(next.OwnBox(), 0);
    EXPECT_FALSE(client->HasMessage())
        << "the previous owner's message reached the newcomer's peer";
}

TEST_F(IpcMessengerTest, AnAreaLeftByEarlierParticipantsStartsFromZeros) {
    {
        TRawArea area;
        area.Fill(0xA5);
    }
    TIPCMessenger messenger;
    EXPECT_EQ(messenger.OwnBox(), 0);
    TRawArea area;
    EXPECT_EQ(area.OwnerFlag(0), 1);
    EXPECT_EQ(area.OwnerFlag(1), 0);
    EXPECT_EQ(area.MessageFlag(1), 0);
    EXPECT_EQ(area.Text(1)[0], 0);
}

TEST_F(IpcMessengerTest, StaleBoxWaitsForAFreeMutexWithoutStallingThePoll) {
    TIPCMessenger program;
    TRawArea area;
    // An owner that is gone: its flags are set, nobody holds a lock for it.
    area.OwnerFlag(1) = 1;
    area.MessageFlag(1) = 1;
    const int mutex = shm_open(TIPCMessenger::MutexName().constData(), O_RDWR, 0);
    ASSERT_GE(mutex, 0);
    ASSERT_EQ(flock(mutex, LOCK_EX), 0);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(program.FreeStaleBoxes());
    EXPECT_LT(clock.elapsed(), program.LockTimeout() / 2);
    EXPECT_EQ(area.OwnerFlag(1), 1);
    close(mutex);

    EXPECT_TRUE(program.FreeStaleBoxes());
    EXPECT_EQ(area.OwnerFlag(1), 0);
    EXPECT_EQ(area.MessageFlag(1), 0);
}

TEST_F(IpcMessengerTest, ClientTakesOnlyTheReplyThatFollowsItsRequest) {
    TIPCMessenger program;
    TIPCMessenger client;
    program.Send("stale reply");
    ASSERT_TRUE(client.SendRequest("SS"));
    program.Send("late");
    EXPECT_FALSE(client.TakeReply()) << "a reply before the request was taken";
    EXPECT_EQ(program.Receive(), "SS");
    EXPECT_FALSE(client.TakeReply());
    program.Send("  0A1F ");
    EXPECT_EQ(client.TakeReply(), QByteArray("  0A1F "));
    EXPECT_FALSE(client.TakeReply());
}

} // namespace
