#pragma once

#include <QByteArray>

#include <cstddef>

namespace platform {

// A named POSIX shared-memory object ("/NAME", living in /dev/shm), opened
// for reading and writing with a close-on-exec descriptor. Locks taken with
// flock on Handle() belong to this open object and vanish when it is closed
// or its process dies. Move-only; the destructor closes it.
class TSharedObject {
public:
    TSharedObject() = default;
    ~TSharedObject() { Close(); }
    TSharedObject(const TSharedObject&) = delete;
    TSharedObject& operator=(const TSharedObject&) = delete;
    TSharedObject(TSharedObject&& other) noexcept;
    TSharedObject& operator=(TSharedObject&& other) noexcept;

    // Opens `name`, creating it with mode 0600 when it does not exist, and
    // grows it to `minSize` bytes when it is smaller (never shrinks it).
    // Refuses an object owned by another user or open to group or others
    // (it could be read or written by them). Returns false with errno set
    // on any failure; the object is then closed.
    bool Open(const QByteArray& name, std::size_t minSize);
    void Close();
    bool IsOpen() const { return FHandle >= 0; }
    int Handle() const { return FHandle; }

private:
    int FHandle = -1;
};

// A shared read-write mapping of the first `size` bytes of a descriptor.
// Move-only; the destructor unmaps it.
class TSharedView {
public:
    TSharedView() = default;
    ~TSharedView() { Unmap(); }
    TSharedView(const TSharedView&) = delete;
    TSharedView& operator=(const TSharedView&) = delete;

    // False (errno set) when the mapping fails; an existing view is
    // unmapped first.
    bool Map(int handle, std::size_t size);
    void Unmap();
    unsigned char* Data() const { return FData; }
    std::size_t Size() const { return FSize; }

private:
    unsigned char* FData = nullptr;
    std::size_t FSize = 0;
};

} // namespace platform
