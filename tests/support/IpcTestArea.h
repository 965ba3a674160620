#pragma once

// Helpers for the mailbox tests: a mailbox name of each test's own, and a
// plain view of the shared area that takes no part in the locking.

#include "ipc/IPCMessenger.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

// Gives the running test its own TREVALON_IPC_SUFFIX (inherited by the
// processes it starts) and removes the shared objects before and after.
class TIpcTestNames {
public:
    TIpcTestNames() {
        static const std::string base = [] {
            const char* given = std::getenv("TREVALON_IPC_SUFFIX");
            return given != nullptr ? std::string(given) : "_ipc" + std::to_string(getpid());
        }();
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        const std::string suffix = base + "_" + test->test_suite_name() + "_" + test->name();
        setenv("TREVALON_IPC_SUFFIX", suffix.c_str(), 1);
        Remove();
    }
    ~TIpcTestNames() { Remove(); }
    TIpcTestNames(const TIpcTestNames&) = delete;
    TIpcTestNames& operator=(const TIpcTestNames&) = delete;

    static void Remove() {
        shm_unlink(TIPCMessenger::MappingName().constData());
        shm_unlink(TIPCMessenger::MutexName().constData());
    }
};

// The area as any process sees it through the file system, without flock:
// looking at it and writing into it does not make the test a participant.
class TRawArea {
public:
    TRawArea() {
        FHandle = shm_open(TIPCMessenger::MappingName().constData(), O_RDWR | O_CREAT, 0600);
        if (FHandle < 0 || ftruncate(FHandle, TIPCMessenger::AreaSize) != 0)
            return;
        void* address =
            mmap(nullptr, TIPCMessenger::AreaSize, PROT_READ | PROT_WRITE, MAP_SHARED, FHandle, 0);
        if (address != MAP_FAILED)
            FData = static_cast<unsigned char*>(address);
    }
    ~TRawArea() {
        if (FData != nullptr)
            munmap(FData, TIPCMessenger::AreaSize);
        if (FHandle >= 0)
            close(FHandle);
    }
    TRawArea(const TRawArea&) = delete;
    TRawArea& operator=(const TRawArea&) = delete;

    bool IsOpen() const { return FData != nullptr; }
    unsigned char& MessageFlag(int box) { return FData[box]; }
    unsigned char& OwnerFlag(int box) { return FData[2 + box]; }
    unsigned char* Text(int box) { return FData + 4 + box * TIPCMessenger::BoxTextSize; }
    void SetText(int box, const QByteArray& text) {
        std::memset(Text(box), 0, TIPCMessenger::BoxTextSize);
        std::memcpy(Text(box), text.constData(), text.size());
    }
    void Fill(unsigned char value) { std::memset(FData, value, TIPCMessenger::AreaSize); }
    bool IsZero() const {
        for (int i = 0; i < TIPCMessenger::AreaSize; ++i) {
            if (FData[i] != 0)
                return false;
        }
        return true;
    }

private:
    int FHandle = -1;
    unsigned char* FData = nullptr;
};
