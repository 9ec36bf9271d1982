/* Finds, validates, holds and releases the monitor's shared block. */
#ifndef SHARED_BLOCK_H
#define SHARED_BLOCK_H

#include <windows.h>

#include "held_block.h"
#include "monitor_liveness.h"
#include "shared_sensor_block.h"

/* Opens the named block and validates it, for a call that finds none held:
 * the held block (this call's or a racing thread's), or NULL. Out of line and
 * marked cold, so that the exports' frames are those of the held-block case. */
const SharedSensorBlock *OpenSharedBlock(void) __attribute__((noinline, cold));

/* The held block when it passed validation and the monitor is live now; else
 * NULL. Inline in every export: once a block is held, a call costs a bit test
 * and the IsWindow call, with no call and no frame of its own. */
static inline const SharedSensorBlock *GetSharedBlock(void) {
    const SharedSensorBlock *block = g_pBlock;
    if (block == NULL) {
        block = OpenSharedBlock();
        if (block == NULL) {
            return NULL;
        }
    }
    return BlockIsLive(block) ? block : NULL;
}

/* Releases the view, then the handle; does nothing when none is held. */
void CloseSharedBlock(void);

#endif
