#pragma once

#include "platform/SharedMemory.h"

#include <QByteArray>

#include <optional>
#include <stdexcept>

// The error raised when the mailbox cannot be joined. Its message is one of
// "CreateFileMapping failed", "CreateMutex failed", "MapMemory failed",
// "RequestOwnership failed" and "All outboxes are already owned".
class EInOutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The shared-memory mailbox through which other programs on this machine
// pass laser commands to the program and get the replies.
//
// The area is the POSIX shared-memory object "/CRV_IPC_MAPPEDFILE" (2052
// bytes, mode 0600) and its mutex is an exclusive flock on a second object
// "/CRV_IPC_MUTEX"; the environment variable TREVALON_IPC_SUFFIX, when set,
// is appended to both names. Layout:
//   0, 1        message flag of box 0, box 1 (non-zero: a message waits)
//   2, 3        owner flag of box 0, box 1 (non-zero: the box is owned)
//   4..1027     text of box 0, NUL-terminated within its 1024 bytes
//   1028..2051  text of box 1
// Every participant holds a shared flock on the area for as long as it takes
// part; a participant that finds nobody else holding one zeroes the area,
// and the program frees a box whose owner holds none (FreeStaleBoxes).
// Each participant owns one box as its outbox and reads the other one.
//
// Not thread-safe: one messenger is used from one thread.
class TIPCMessenger {
public:
    static constexpr int AreaSize = 2052;
    static constexpr int BoxCount = 2;
    static constexpr int BoxTextSize = 1024;
    static constexpr int MaxMessageLength = BoxTextSize - 1;
    static constexpr int DefaultLockTimeout = 1000; // milliseconds

    // Opens or creates the shared objects and claims the first free box.
    // Throws EInOutError with one of the five texts above; a messenger that
    // fails releases everything it obtained and changes no flag.
    TIPCMessenger();
    // Gives the box back (clears its owner flag) and closes everything. The
    // own message flag and text stay as they are.
    virtual ~TIPCMessenger();
    TIPCMessenger(const TIPCMessenger&) = delete;
    TIPCMessenger& operator=(const TIPCMessenger&) = delete;

    // True when another owned box holds a message. Only peeks at the flags,
    // without the mutex; Receive confirms it.
    bool HasMessage() const;

    // Takes the waiting message of the other box: its text up to the first
    // NUL (at most 1024 bytes) with spaces and control characters removed
    // from both ends. Empty when nothing waits or the mutex is not obtained
    // within LockTimeout() (the message then stays waiting).
    QByteArray Receive();

    // Puts `text` into the own box, cut to its first 1023 bytes, and flags
    // it; a message not yet taken is overwritten. Dropped silently when the
    // mutex is not obtained within LockTimeout().
    void Send(const QByteArray& text);

    // For a client that sends a request and waits for its reply (the
    // command-line client). Like Send, but first discards a message waiting
    // in the other box: it cannot answer this request. False when the mutex
    // was not obtained and nothing was sent.
    bool SendRequest(const QByteArray& text);

    // The reply to the last SendRequest, untrimmed, once the other side has
    // taken the request and answered; nothing before that. A message that
    // shows up while the own request still waits to be taken answers an
    // earlier request and is discarded.
    std::optional<QByteArray> TakeReply();

    // For the program, at every tick of its poll: gives back the boxes of
    // participants that died without leaving (a killed client keeps its
    // owner flag set). Returns at once, without the mutex, while no other
    // box is owned. Otherwise it tries the mutex once, without waiting, and
    // under it asks whether any other process holds its participation lock
    // on the area; when none does, every other owned box is stale and gets
    // its owner and message flags cleared. A participant that holds its
    // shared lock while it takes part never loses its box. True when a box
    // was freed; false when none was stale or the mutex was busy (the next
    // call tries again).
    bool FreeStaleBoxes();

    // The mutex: true once held, false when not obtained within
    // LockTimeout() milliseconds.
    bool Lock();
    void Unlock();

    // True when nobody else took part when this messenger joined (it had to
    // start the area from zeros): no program was there to answer a request.
    bool StartedAlone() const { return FStartedAlone; }

    int OwnBox() const { return FOwnBox; }
    int LockTimeout() const { return FLockTimeout; }
    void SetLockTimeout(int milliseconds) { FLockTimeout = milliseconds; }

    // The object names in use, with the suffix from the environment.
    static QByteArray MappingName();
    static QByteArray MutexName();

    // The text of a box as a reader takes it: up to the first NUL, never
    // more than the box holds. Exposed for tests.
    static QByteArray BoxText(const unsigned char* box);

private:
    unsigned char* Area() const { return FView.Data(); }
    bool MessageWaiting(int box) const;
    void WriteOwnBox(const QByteArray& text);

    platform::TSharedObject FMappingHandle;
    platform::TSharedObject FMutexHandle;
    platform::TSharedView FView;
    int FOwnBox = 0;
    bool FStartedAlone = false;
    int FLockTimeout = DefaultLockTimeout;
};
