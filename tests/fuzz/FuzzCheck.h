#pragma once
// A broken invariant in a fuzz target: a message and an abort, which libFuzzer reports as
// a crash with the input that caused it, and which fails the replay in the normal suite.

#include <cstdio>
#include <cstdlib>

inline void FuzzCheck(bool holds, const char* invariant)
{
    if (holds)
        return;
    std::fprintf(stderr, "fuzz invariant broken: %s\n", invariant);
    std::abort();
}
