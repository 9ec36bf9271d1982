/* The liveness rule: the monitor is live while bit 0 of the block's flags is
 * set and the window named in hwnd exists. The plug-in tests it on every call;
 * kdmonitor's check before taking a block over and kdhost's diagnosis ask the
 * same functions. */
#ifndef MONITOR_LIVENESS_H
#define MONITOR_LIVENESS_H

#include <windows.h>

#include "block_fields.h"
#include "shared_sensor_block.h"
#include "window_handle.h"

/* The monitor's own word: bit 0 of flags. */
static inline BOOL FlagSaysPublishing(uint8_t flags) {
    return (flags & FLAG_PUBLISHING) != 0;
}

/* Whether the window the hwnd field names exists now. */
static inline BOOL MonitorWindowExists(uint32_t hwndField) {
    return IsWindow(WindowFromBlockField(hwndField)) != 0;
}

/* Both, on a live view: each field loaded once, the flag first, so a clear
 * flag costs no IsWindow call. */
static inline BOOL BlockIsLive(const SharedSensorBlock *block) {
    if (!FlagSaysPublishing(BLOCK_U8(block, flags))) {
        return FALSE;
    }
    return MonitorWindowExists(BLOCK_U32(block, hwnd));
}

#endif
