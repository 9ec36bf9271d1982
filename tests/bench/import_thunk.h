// A thunk that counts one call and jumps on to the real function, in this
// processor's machine code; one implementation per bitness (tests/bench/CMakeLists.txt).
// It touches no argument register and no stack, so it fits any signature.
#pragma once

#include <windows.h>

#include <cstddef>

constexpr size_t kThunkBytes = 32;

// Writes the thunk at `at`: increments *calls, then jumps to *original.
void WriteCountingThunk(BYTE *at, volatile LONG *calls, void *const *original);
