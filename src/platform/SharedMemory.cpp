#include "platform/SharedMemory.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

constexpr mode_t OwnerOnly = S_IRUSR | S_IWUSR;

// Opens an existing object or creates a new one, telling which happened.
// Between a failed exclusive create and the plain open another process may
// remove the object, so both are tried a few times.
int OpenOrCreate(const char* name, bool& created) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        // glibc's shm_open adds O_NOFOLLOW and O_CLOEXEC itself.
        int fd = shm_open(name, O_RDWR | O_CREAT | O_EXCL, OwnerOnly);
        if (fd >= 0) {
            created = true;
            return fd;
        }
        if (errno != EEXIST)
            return -1;
        fd = shm_open(name, O_RDWR, 0);
        if (fd >= 0) {
            created = false;
            return fd;
        }
        if (errno != ENOENT)
            return -1;
    }
    return -1;
}

} // namespace

TSharedObject::TSharedObject(TSharedObject&& other) noexcept
    : FHandle(std::exchange(other.FHandle, -1)) {}

TSharedObject& TSharedObject::operator=(TSharedObject&& other) noexcept {
    if (this != &other) {
        Close();
        FHandle = std::exchange(other.FHandle, -1);
    }
    return *this;
}

bool TSharedObject::Open(const QByteArray& name, std::size_t minSize) {
    Close();
    bool created = false;
    const int fd = OpenOrCreate(name.constData(), created);
    if (fd < 0)
        return false;
    auto fail = [fd](int error) {
        ::close(fd);
        errno = error;
        return false;
    };
    // The umask may have taken bits away from a new object; put back
    // exactly read and write for the owner.
    if (created && fchmod(fd, OwnerOnly) != 0)
        return fail(errno);
    struct stat info {};
    if (fstat(fd, &info) != 0)
        return fail(errno);
    if (info.st_uid != geteuid() || (info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return fail(EACCES);
    // A new object has size 0 until its creator sizes it; whoever comes
    // first grows it, so nobody maps pages that are not there (SIGBUS).
    if (static_cast<std::size_t>(info.st_size) < minSize &&
        ftruncate(fd, static_cast<off_t>(minSize)) != 0)
        return fail(errno);
    FHandle = fd;
    return true;
}

void TSharedObject::Close() {
    if (FHandle >= 0) {
        ::close(FHandle);
        FHandle = -1;
    }
}

bool TSharedView::Map(int handle, std::size_t size) {
    Unmap();
    void* address = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, handle, 0);
    if (address == MAP_FAILED)
        return false;
    FData = static_cast<unsigned char*>(address);
    FSize = size;
    return true;
}

void TSharedView::Unmap() {
    if (FData != nullptr) {
        munmap(FData, FSize);
        FData = nullptr;
        FSize = 0;
    }
}

} // namespace platform
