// x64: the thunk and the counters may lie more than 2 GiB apart, out of reach
// of a RIP-relative operand, so the addresses go through r11, which the
// calling convention leaves free at a function's entry.
//   mov r11, calls ; lock inc dword ptr [r11]
//   mov r11, original ; jmp qword ptr [r11]
#include "import_thunk.h"

#include <cstdint>
#include <cstring>

namespace {

void Put64(BYTE *at, const volatile void *address) {
    uint64_t value = uint64_t(UINT_PTR(address));
    std::memcpy(at, &value, sizeof value);
}

} // namespace

void WriteCountingThunk(BYTE *at, volatile LONG *calls, void *const *original) {
    const BYTE code[27] = {0x49, 0xBB, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x41, 0xFF, 0x03,
                           0x49, 0xBB, 0, 0, 0, 0, 0, 0, 0, 0, 0x41, 0xFF, 0x23};
    std::memset(at, 0x90, kThunkBytes);
    std::memcpy(at, code, sizeof code);
    Put64(at + 2, calls);
    Put64(at + 16, original);
}
