// x86: the float comes back in the x87 register st(0), which carries 64-bit
// mantissas. A product the module left unrounded would differ here from the
// single-precision value, and the mingw runtime gives the main thread and new
// threads different x87 precisions, so a caller may see either.
#include "return_register.h"

#include <cstdio>

ReturnRegister CallAndReadReturnRegister(GetSourceDataFn function, uint32_t index, float expected) {
    // Same register, same cdecl call: only the caller's reading of st(0) differs.
    using Raw = long double(__cdecl *)(uint32_t);
    long double held = AsReturningRegister<Raw>(function)(index);
    long double off = held - (long double)expected;
    char text[96];
    std::snprintf(text, sizeof text, "st(0) = %.17g, %.3g from the float", double(held),
                  double(off));
    return {held == (long double)expected, text};
}
