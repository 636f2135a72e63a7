#pragma once

#include "motif/Motif.h"

// A broken promise of the code under test ends the run where libFuzzer records it, in the
// fuzzer and in the replay program alike.
inline void check(bool holds)
{
    if (!holds) __builtin_trap();
}

// The device owns the tables that name banks and categories; building it once keeps runs fast.
inline Motif& device()
{
    static Motif motif;
    return motif;
}
