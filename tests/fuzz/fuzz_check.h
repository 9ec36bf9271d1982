// What every fuzz target uses to state an invariant: a broken one aborts, so
// libFuzzer reports the input as a finding and saves it.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void Require(bool holds, const char *invariant) {
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", invariant);
        std::abort();
    }
}
