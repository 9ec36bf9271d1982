// x64: the float comes back in the low 32 bits of XMM0. Declaring the function
// to return the whole 128-bit register hands its bits over untouched, so they
// can be compared bit for bit, with no conversion by the caller in between.
#include "return_register.h"

#include <cstdio>
#include <cstring>

namespace {

typedef float Xmm __attribute__((vector_size(16)));

uint32_t Bits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

} // namespace

ReturnRegister CallAndReadReturnRegister(GetSourceDataFn function, uint32_t index, float expected) {
    Xmm held = AsReturningRegister<Xmm (*)(uint32_t)>(function)(index);
    uint32_t low;
    std::memcpy(&low, &held, sizeof low);
    char text[96];
    std::snprintf(text, sizeof text, "XMM0 low bits 0x%08X, expected 0x%08X", unsigned(low),
                  unsigned(Bits(expected)));
    return {low == Bits(expected), text};
}
