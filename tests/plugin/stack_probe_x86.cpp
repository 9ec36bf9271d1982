// The probe is plain i386 assembly: the stack pointer is saved in a register the
// callee must preserve, compared after the call and then restored.
#include "stack_probe.h"

#define KD_PROBE_CALL(after_call)                                                                  \
    "movl %%esp, %%esi\n\t"                                                                        \
    "1:\n\t"                                                                                       \
    "pushl %%edi\n\t"                                                                              \
    "decl %%ecx\n\t"                                                                               \
    "jnz 1b\n\t"                                                                                   \
    "call *%%ebx\n\t" after_call "movl %%esi, %%ecx\n\t"                                           \
    "subl %%esp, %%ecx\n\t"                                                                        \
    "movl %%esi, %%esp\n\t"

uint32_t BytesLeftOnStack(const void *function, uint32_t argument, uint32_t count,
                          bool returnsFloat) {
    uint32_t left = count;
    if (count == 0) {
        return 0;
    }
    if (returnsFloat) {
        asm volatile(KD_PROBE_CALL("fstp %%st(0)\n\t")
                     : "+c"(left), "+b"(function), "+D"(argument)
                     :
                     : "eax", "edx", "esi", "memory", "cc");
    } else {
        asm volatile(KD_PROBE_CALL("")
                     : "+c"(left), "+b"(function), "+D"(argument)
                     :
                     : "eax", "edx", "esi", "memory", "cc");
    }
    return left;
}
