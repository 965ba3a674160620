#pragma once

#include <QByteArray>

#include <cstdint>

namespace comm {

// Escapes bytes for the communication trace: every byte below 33 or above
// 126 becomes "$" and its code in two upper-case hex digits; the others stay.
// Stops at the first NUL and never reads past `length` bytes.
QByteArray EscapeTraceText(const char* bytes, std::size_t length);

// The five trace line kinds. `ms` is the time since the trace was switched
// on; `port` is the port number 1..16 in every kind.
QByteArray TracePortLine(std::int64_t ms, int port, const char* event); // OPENED, CLOSED, TIMEOUT!
QByteArray TraceReadLine(std::int64_t ms, int port, const char* bytes, std::size_t length);
QByteArray TraceWriteLine(std::int64_t ms, int port, const char* bytes, std::size_t length);

} // namespace comm
