#pragma once
// A broken invariant: a message and an abort, which libFuzzer reports with the input that
// caused it, and which fails the replay in the suite.

#include <cstdio>
#include <cstdlib>

inline void FuzzCheck(bool holds, const char* invariant)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz invariant broken: %s\n", invariant);
        std::abort();
    }
}
