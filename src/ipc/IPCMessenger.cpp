#include "ipc/IPCMessenger.h"

#include "platform/FileLock.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int MessageFlag = 0;
constexpr int OwnerFlag = 2;
constexpr int TextOffset = 4;

QByteArray NameWithSuffix(const char* base) {
    QByteArray name(base);
    if (const char* suffix = std::getenv("TREVALON_IPC_SUFFIX"))
        name += suffix;
    return name;
}

unsigned char* BoxTextAt(unsigned char* area, int box) {
    return area + TextOffset + box * TIPCMessenger::BoxTextSize;
}

// HasMessage reads flags that other processes change under the mutex; the
// atomic read keeps the compiler from tearing or caching it.
unsigned char Peek(const unsigned char& flag) {
    return std::atomic_ref<unsigned char>(const_cast<unsigned char&>(flag))
        .load(std::memory_order_acquire);
}

// Control characters and spaces (every byte up to 0x20) go from both ends;
// bytes above 0x7F are text.
QByteArray TrimmedText(const QByteArray& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ')
        --last;
    return text.mid(first, last - first);
}

} // namespace

QByteArray TIPCMessenger::MappingName() {
    return NameWithSuffix("/CRV_IPC_MAPPEDFILE");
}

QByteArray TIPCMessenger::MutexName() {
    return NameWithSuffix("/CRV_IPC_MUTEX");
}

QByteArray TIPCMessenger::BoxText(const unsigned char* box) {
    // Another process may leave a box without NUL; the reader stops at the
    // box's end instead of running into the next box or off the area.
    const void* nul = std::memchr(box, 0, BoxTextSize);
    const qsizetype length =
        nul != nullptr ? static_cast<const unsigned char*>(nul) - box : BoxTextSize;
    return QByteArray(reinterpret_cast<const char*>(box), length);
}

TIPCMessenger::TIPCMessenger() {
    FLockTimeout = DefaultLockTimeout;
    // Every failure below throws; the members close what was obtained, and
    // closing the descriptors drops any flock this messenger held.
    if (!FMappingHandle.Open(MappingName(), AreaSize))
        throw EInOutError("CreateFileMapping failed");
    if (!FMutexHandle.Open(MutexName(), 0))
        throw EInOutError("CreateMutex failed");
    if (!FView.Map(FMappingHandle.Handle(), AreaSize))
        throw EInOutError("MapMemory failed");
    if (!Lock())
        throw EInOutError("RequestOwnership failed");

    unsigned char* area = Area();
    // Under the mutex nobody else joins or leaves. An exclusive lock on the
    // area means nobody else takes part: the area is left over from earlier
    // participants (or new) and starts again from zeros.
    if (platform::TryLockFile(FMappingHandle.Handle(), true)) {
        std::memset(area, 0, AreaSize);
        FStartedAlone = true;
    }
    if (!platform::TryLockFile(FMappingHandle.Handle(), false)) {
        Unlock();
        throw EInOutError("RequestOwnership failed");
    }

    int claimed = -1;
    for (int box = 0; box < BoxCount && claimed < 0; ++box) {
        if (area[OwnerFlag + box] == 0) {
            area[OwnerFlag + box] = 1;
            // A message left by the box's previous owner is not from this
            // participant; the other side must not take it as such.
            area[MessageFlag + box] = 0;
            claimed = box;
        }
    }
    Unlock();
    if (claimed < 0)
        throw EInOutError("All outboxes are already owned");
    FOwnBox = claimed;
}

TIPCMessenger::~TIPCMessenger() {
    unsigned char* area = Area();
    if (area == nullptr)
        return;
    if (Lock()) {
        area[OwnerFlag + FOwnBox] = 0;
        Unlock();
    } else {
        // A participant that keeps the mutex for longer than the limit
        // would otherwise block this box until everyone leaves. The owner
        // flag is ours alone and a single byte, so a plain store is safe.
        std::atomic_ref<unsigned char>(area[OwnerFlag + FOwnBox])
            .store(0, std::memory_order_release);
    }
    FView.Unmap();
    FMutexHandle.Close();
    FMappingHandle.Close();
}

bool TIPCMessenger::Lock() {
    return platform::LockFile(FMutexHandle.Handle(), true, FLockTimeout);
}

void TIPCMessenger::Unlock() {
    platform::UnlockFile(FMutexHandle.Handle());
}

bool TIPCMessenger::FreeStaleBoxes() {
    if (Area() == nullptr)
        return false;
    // Called at every tick: while nobody else owns a box there is nothing
    // to free, and a peek keeps the tick free of locks and system calls.
    bool othersOwned = false;
    for (int box = 0; box < BoxCount; ++box) {
        if (box != FOwnBox && Peek(Area()[OwnerFlag + box]) != 0)
            othersOwned = true;
    }
    if (!othersOwned)
        return false;
    // The poll must not stall behind a busy mutex for housekeeping that
    // the next tick can do as well.
    if (!platform::TryLockFile(FMutexHandle.Handle(), true))
        return false;
    // Owners set and clear their flag under the mutex and hold their shared
    // lock on the area from before the one until after the other. With the
    // mutex held, an exclusive lock on the area therefore succeeds only when
    // nobody else takes part: every owner flag but ours was left by a
    // process that is gone.
    const int areaHandle = FMappingHandle.Handle();
    const bool alone = platform::TryLockFile(areaHandle, true);
    bool freed = false;
    if (alone) {
        for (int box = 0; box < BoxCount; ++box) {
            if (box != FOwnBox && Area()[OwnerFlag + box] != 0) {
                Area()[OwnerFlag + box] = 0;
                Area()[MessageFlag + box] = 0;
                freed = true;
            }
        }
    }
    // flock converts by dropping the old lock first: a refused exclusive
    // lock has already cost the shared one. Nobody else can take an
    // exclusive lock on the area without the mutex, so taking the shared
    // lock again cannot be refused.
    platform::TryLockFile(areaHandle, false);
    Unlock();
    return freed;
}

bool TIPCMessenger::MessageWaiting(int box) const {
    const unsigned char* area = Area();
    return Peek(area[OwnerFlag + box]) != 0 && Peek(area[MessageFlag + box]) != 0;
}

bool TIPCMessenger::HasMessage() const {
    if (Area() == nullptr)
        return false;
    for (int box = 0; box < BoxCount; ++box) {
        if (box != FOwnBox && MessageWaiting(box))
            return true;
    }
    return false;
}

QByteArray TIPCMessenger::Receive() {
    QByteArray text;
    if (Area() == nullptr || !Lock())
        return text;
    for (int box = 0; box < BoxCount; ++box) {
        if (box != FOwnBox && MessageWaiting(box)) {
            text = BoxText(BoxTextAt(Area(), box));
            Area()[MessageFlag + box] = 0;
            break;
        }
    }
    Unlock();
    return TrimmedText(text);
}

void TIPCMessenger::WriteOwnBox(const QByteArray& text) {
    unsigned char* box = BoxTextAt(Area(), FOwnBox);
    const auto length = static_cast<std::size_t>(qMin<qsizetype>(text.size(), MaxMessageLength));
    // The whole box is cleared so that no tail of a longer earlier message
    // stays behind the NUL.
    std::memset(box, 0, BoxTextSize);
    std::memcpy(box, text.constData(), length);
    Area()[MessageFlag + FOwnBox] = 1;
}

void TIPCMessenger::Send(const QByteArray& text) {
    if (Area() == nullptr || !Lock())
        return;
    WriteOwnBox(text);
    Unlock();
}

bool TIPCMessenger::SendRequest(const QByteArray& text) {
    if (Area() == nullptr || !Lock())
        return false;
    for (int box = 0; box < BoxCount; ++box) {
        if (box != FOwnBox)
            Area()[MessageFlag + box] = 0;
    }
    WriteOwnBox(text);
    Unlock();
    return true;
}

std::optional<QByteArray> TIPCMessenger::TakeReply() {
    if (Area() == nullptr || !Lock())
        return std::nullopt;
    std::optional<QByteArray> reply;
    const bool requestTaken = Area()[MessageFlag + FOwnBox] == 0;
    for (int box = 0; box < BoxCount; ++box) {
        if (box == FOwnBox || !MessageWaiting(box))
            continue;
        // The other side takes a request and answers it before it looks at
        // the next one, so a message that is already there while ours still
        // waits answers something else.
        if (requestTaken && !reply)
            reply = BoxText(BoxTextAt(Area(), box));
        Area()[MessageFlag + box] = 0;
    }
    Unlock();
    return reply;
}
