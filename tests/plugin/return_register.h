// What a host finds in the return register after GetSourceData, read below the
// compiler, before any conversion of the caller's own: on x86 the x87 register
// at its full 64-bit precision, on x64 the low 32 bits of XMM0. One of the two
// implementations is built, by bitness (tests/plugin/CMakeLists.txt).
#pragma once

#include <cstdint>
#include <string>

#include "source_interface/kelvodyn.h"

struct ReturnRegister {
    bool exact = false; // the register holds exactly the expected float
    std::string seen;   // what it holds, for a failure message
};

ReturnRegister CallAndReadReturnRegister(GetSourceDataFn function, uint32_t index, float expected);

// The export as a function returning the whole register instead of a float:
// the same call, read as another type on purpose. The cast goes through
// void (*)(), the one function type the compiler lets stand for any other.
template <typename Raw> Raw AsReturningRegister(GetSourceDataFn function) {
    return reinterpret_cast<Raw>(reinterpret_cast<void (*)()>(function));
}
