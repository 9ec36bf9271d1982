/* The block's hwnd field is 32 bits wide for every reader, while a window
 * handle is as wide as a pointer. Handles shared between 32-bit and 64-bit
 * processes are widened by sign extension, the platform's rule for them: on
 * x64 0x80000000 becomes 0xFFFFFFFF80000000; on x86 nothing changes. */
#ifndef WINDOW_HANDLE_H
#define WINDOW_HANDLE_H

#include <stdint.h>
#include <windows.h>

static inline HWND WindowFromBlockField(uint32_t field) {
    return (HWND)(INT_PTR)(int32_t)field;
}

/* What a monitor publishes: the handle's low 32 bits, all a handle carries. */
static inline uint32_t BlockFieldFromWindow(HWND window) {
    return (uint32_t)(UINT_PTR)window;
}

#endif
