// x86: absolute 32-bit addresses.
//   lock inc dword ptr [calls]
//   jmp dword ptr [original]
#include "import_thunk.h"

#include <cstdint>
#include <cstring>

namespace {

void Put32(BYTE *at, const volatile void *address) {
    uint32_t value = uint32_t(UINT_PTR(address));
    std::memcpy(at, &value, sizeof value);
}

} // namespace

void WriteCountingThunk(BYTE *at, volatile LONG *calls, void *const *original) {
    const BYTE code[16] = {0xF0, 0xFF, 0x05, 0, 0, 0, 0, 0xFF, 0x25, 0, 0, 0, 0, 0x90, 0x90, 0x90};
    std::memset(at, 0x90, kThunkBytes);
    std::memcpy(at, code, sizeof code);
    Put32(at + 3, calls);
    Put32(at + 9, original);
}
