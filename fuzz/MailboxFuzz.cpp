// The mailbox area as another process may leave it: any 2052 bytes put
// into the shared area under two messengers of this process (the program
// on box 0, a client on box 1). HasMessage, Receive and TakeReply must give
// what the flags and texts say and change only the flag of the box they
// take; BoxText is also fed boxes allocated at exactly their size, so that
// a read past a box is caught.

#include "FuzzCheck.h"
#include "ipc/IPCMessenger.h"

#include <QByteArray>

#include <array>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

using TArea = std::array<unsigned char, TIPCMessenger::AreaSize>;

constexpr int TextOffset = 4;

// The mailbox of this run only, removed when the run ends.
struct TFuzzMailbox {
    TFuzzMailbox() {
        const std::string suffix = "_fuzz" + std::to_string(getpid());
        setenv("TREVALON_IPC_SUFFIX", suffix.c_str(), 1);
        Remove();
        Program = std::make_unique<TIPCMessenger>();
        Client = std::make_unique<TIPCMessenger>();
        const int handle = shm_open(TIPCMessenger::MappingName().constData(), O_RDWR, 0600);
        if (handle < 0)
            std::abort();
        void* address =
            mmap(nullptr, TIPCMessenger::AreaSize, PROT_READ | PROT_WRITE, MAP_SHARED, handle, 0);
        close(handle);
        if (address == MAP_FAILED)
            std::abort();
        Raw = static_cast<unsigned char*>(address);
        std::atexit([] { Remove(); });
    }
    static void Remove() {
        shm_unlink(TIPCMessenger::MappingName().constData());
        shm_unlink(TIPCMessenger::MutexName().constData());
    }

    std::unique_ptr<TIPCMessenger> Program;
    std::unique_ptr<TIPCMessenger> Client;
    unsigned char* Raw = nullptr;
};

TFuzzMailbox& Mailbox() {
    static TFuzzMailbox mailbox;
    return mailbox;
}

QByteArray ExpectedBoxText(const TArea& area, int box) {
    const auto* text =
        reinterpret_cast<const char*>(area.data() + TextOffset + box * TIPCMessenger::BoxTextSize);
    qsizetype length = 0;
    while (length < TIPCMessenger::BoxTextSize && text[length] != '\0')
        ++length;
    return QByteArray(text, length);
}

QByteArray Trimmed(QByteArray text) {
    while (!text.isEmpty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove(0, 1);
    while (!text.isEmpty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.chop(1);
    return text;
}

bool Waiting(const TArea& area, int box) {
    return area[static_cast<std::size_t>(2 + box)] != 0 && area[static_cast<std::size_t>(box)] != 0;
}

// The area after a reader took box `box`'s message: that flag cleared,
// every other byte as before.
void CheckOnlyFlagCleared(const TArea& before, const unsigned char* after, int box, bool taken) {
    TArea expected = before;
    if (taken)
        expected[static_cast<std::size_t>(box)] = 0;
    FUZZ_REQUIRE(std::memcmp(expected.data(), after, expected.size()) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    TFuzzMailbox& mailbox = Mailbox();
    TArea area{};
    std::memcpy(area.data(), data, size < area.size() ? size : area.size());

    // Each box on its own, in a buffer of exactly the box's size.
    for (int box = 0; box < TIPCMessenger::BoxCount; ++box) {
        std::vector<unsigned char> alone(
            area.begin() + TextOffset + box * TIPCMessenger::BoxTextSize,
            area.begin() + TextOffset + (box + 1) * TIPCMessenger::BoxTextSize);
        FUZZ_REQUIRE(TIPCMessenger::BoxText(alone.data()) == ExpectedBoxText(area, box));
    }
    // The last box at the very end of an area allocated at its exact size.
    const auto exact = std::make_unique<unsigned char[]>(area.size());
    std::memcpy(exact.get(), area.data(), area.size());
    FUZZ_REQUIRE(TIPCMessenger::BoxText(exact.get() + TextOffset + TIPCMessenger::BoxTextSize) ==
                 ExpectedBoxText(area, 1));

    for (TIPCMessenger* reader : {mailbox.Program.get(), mailbox.Client.get()}) {
        const int other = 1 - reader->OwnBox();
        std::memcpy(mailbox.Raw, area.data(), area.size());
        const bool waiting = Waiting(area, other);
        FUZZ_REQUIRE(reader->HasMessage() == waiting);
        FUZZ_REQUIRE(std::memcmp(mailbox.Raw, area.data(), area.size()) == 0);

        const QByteArray received = reader->Receive();
        FUZZ_REQUIRE(received == (waiting ? Trimmed(ExpectedBoxText(area, other)) : QByteArray()));
        FUZZ_REQUIRE(received.size() <= TIPCMessenger::BoxTextSize);
        CheckOnlyFlagCleared(area, mailbox.Raw, other, waiting);
        FUZZ_REQUIRE(!reader->HasMessage());

        // A client waiting for its reply: one comes only once its own
        // request was taken (its message flag is 0).
        std::memcpy(mailbox.Raw, area.data(), area.size());
        const std::optional<QByteArray> reply = reader->TakeReply();
        const bool requestTaken = area[static_cast<std::size_t>(reader->OwnBox())] == 0;
        FUZZ_REQUIRE(reply.has_value() == (waiting && requestTaken));
        if (reply)
            FUZZ_REQUIRE(*reply == ExpectedBoxText(area, other));
        CheckOnlyFlagCleared(area, mailbox.Raw, other, waiting);
    }
    return 0;
}
