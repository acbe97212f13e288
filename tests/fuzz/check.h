// A property of a fuzz target: when it does not hold, its line is named and the
// fuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void check(bool holds, int line = __builtin_LINE()) {
    if (holds) return;
    std::fprintf(stderr, "the property at line %d does not hold\n", line);
    std::abort();
}
