#pragma once

#include <cstdint>

namespace platform {

// Milliseconds on a monotonic clock with an arbitrary origin. It never goes
// back and does not wrap, unlike the 32-bit tick count it stands in for.
std::int64_t TickCount();

} // namespace platform
