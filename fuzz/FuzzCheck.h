#pragma once
// What every fuzz target uses to report a broken promise: a trap, which
// libFuzzer records as a crash with the input that caused it.

inline void Check(bool condition)
{
    if (!condition) __builtin_trap();
}
