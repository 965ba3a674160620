// The trace escaping of any bytes: every byte before the first NUL comes
// out either as itself (33..126) or as "$" and two upper-case hex digits,
// the result is printable, and nothing past the given length is read (the
// input buffer is exactly as long as the length passed).
//
// The escaping is not meant to be undone: a "$" in the bytes stays as it is.

#include "FuzzCheck.h"
#include "comm/TraceText.h"

#include <cstring>

namespace {

// The trace text of `bytes`, byte by byte.
QByteArray Expected(const char* bytes, std::size_t length) {
    QByteArray text;
    for (std::size_t i = 0; i < length && bytes[i] != '\0'; ++i) {
        const auto code = static_cast<unsigned char>(bytes[i]);
        if (code >= 33 && code <= 126)
            text.append(static_cast<char>(code));
        else
            text.append('$' + QByteArray::number(code, 16).toUpper().rightJustified(2, '0'));
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);

    const QByteArray escaped = comm::EscapeTraceText(bytes, size);
    for (const char c : escaped) {
        const auto code = static_cast<unsigned char>(c);
        FUZZ_REQUIRE(code >= 33 && code <= 126);
    }
    FUZZ_REQUIRE(escaped == Expected(bytes, size));

    // A shorter length is a limit even without a NUL.
    const std::size_t half = size / 2;
    FUZZ_REQUIRE(comm::EscapeTraceText(bytes, half) == Expected(bytes, half));
    FUZZ_REQUIRE(comm::EscapeTraceText(nullptr, size).isEmpty());

    FUZZ_REQUIRE(comm::TraceReadLine(1234, 16, bytes, size) == "[1234:READ16]" + escaped);
    FUZZ_REQUIRE(comm::TraceWriteLine(0, 1, bytes, size) == "[0:WRITE1]" + escaped);
    return 0;
}
