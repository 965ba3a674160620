// A transaction's reply assembled from chunks as the port delivers them:
// any bytes, any split, any terminator and reply size. The reply buffer and
// each chunk are allocated at exactly the size the contract allows, so that
// a write or read past either is caught.

#include "FuzzCheck.h"
#include "comm/ReplyAssembler.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const int replySize = input.ConsumeIntegralInRange<int>(-1, 80);
    const char terminator = input.ConsumeIntegral<char>();
    const std::size_t capacity = replySize < 0 ? 0 : static_cast<std::size_t>(replySize);

    std::vector<char> reply(capacity + 1, 'x');
    TReplyAssembler assembler(reply.data(), replySize, terminator);
    FUZZ_REQUIRE(assembler.Length() == 0 && reply[0] == '\0');

    // What the contract says the reply holds.
    std::string expected;
    bool complete = false;
    while (!complete && input.remaining_bytes() > 0) {
        const auto length = input.ConsumeIntegralInRange<unsigned>(1, 64);
        std::vector<char> bytes = input.ConsumeBytes<char>(length);
        const auto count = static_cast<unsigned>(bytes.size());
        bytes.push_back('\0'); // the caller's buffer has room for a NUL after the bytes

        std::string text(bytes.data(), std::strlen(bytes.data()));
        const std::size_t stop = terminator != '\0' ? text.find(terminator) : std::string::npos;
        if (stop != std::string::npos) {
            text.resize(stop);
            complete = true;
        }
        if (expected.size() < capacity)
            expected += text.substr(0, capacity - expected.size());

        FUZZ_REQUIRE(assembler.Append(bytes.data(), count) == complete);
        FUZZ_REQUIRE(assembler.Length() >= 0 &&
                     static_cast<std::size_t>(assembler.Length()) <= capacity);
        FUZZ_REQUIRE(static_cast<std::size_t>(assembler.Length()) == expected.size());
        FUZZ_REQUIRE(reply[expected.size()] == '\0');
        FUZZ_REQUIRE(std::memcmp(reply.data(), expected.data(), expected.size()) == 0);
    }
    return 0;
}
