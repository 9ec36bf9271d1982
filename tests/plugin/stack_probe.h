// Calls an exported function the way a C caller does, but without popping the
// arguments afterwards, to see who removes them: the caller (C calling
// convention) or the callee (the platform's "stdcall" convention).
#pragma once

#include <cstdint>

// Pushes `count` (at least 1) copies of `argument`, calls `function` and returns
// how many of the pushed bytes are still on the stack after it returned. A
// float result is taken off the x87 stack when `returnsFloat` is set.
uint32_t BytesLeftOnStack(const void *function, uint32_t argument, uint32_t count,
                          bool returnsFloat);
