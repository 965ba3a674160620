#pragma once

// What a fuzz target asserts: a property that fails prints itself and
// aborts, which libFuzzer records as a finding with the input that caused it.

#include <cstdio>
#include <cstdlib>

namespace fuzzcheck {

[[noreturn]] inline void Fail(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, condition);
    std::abort();
}

} // namespace fuzzcheck

#define FUZZ_REQUIRE(condition)                                                                    \
    do {                                                                                           \
        if (!(condition))                                                                          \
            fuzzcheck::Fail(#condition, __FILE__, __LINE__);                                       \
    } while (false)
