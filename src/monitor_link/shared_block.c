/* Opens the monitor's named block read-only on demand, validates it once, and
 * tests on every call whether the monitor is live. A rejected block is released
 * at once and tried again on the next call; an accepted one is held until detach. */
#include <windows.h>

#include "../module/module_state.h"
#include "block_fields.h"
#include "shared_block.h"
#include "window_handle.h"

/* Checked once, when a view is newly obtained. Each field is loaded once. */
static BOOL IsValidBlock(const SharedSensorBlock *block) {
    return BLOCK_U16(block, version) == SHARED_BLOCK_VERSION &&
           BLOCK_U32(block, size) >= SHARED_BLOCK_MIN_SIZE &&
           BLOCK_U16(block, numTemps) <= SENSOR_SLOTS &&
           BLOCK_U16(block, numFans) <= SENSOR_SLOTS && BLOCK_U16(block, numExtra) <= SENSOR_SLOTS;
}

/* Builds the view in locals and publishes it with one compare-exchange, so two
 * host threads making their first call together cannot both install a view;
 * the loser releases its own copy and uses the winner's. */
static const SharedSensorBlock *OpenSharedBlock(void) {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, SHARED_BLOCK_NAME);
    if (mapping == NULL) {
        return NULL;
    }
    /* A view is at least one page, so the first 402 bytes are always readable. */
    const SharedSensorBlock *view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (view == NULL || !IsValidBlock(view)) {
        if (view != NULL) {
            UnmapViewOfFile(view);
        }
        CloseHandle(mapping);
        return NULL;
    }
    const SharedSensorBlock *held =
        __sync_val_compare_and_swap(&g_pBlock, (const SharedSensorBlock *)NULL, view);
    if (held != NULL) {
        UnmapViewOfFile(view);
        CloseHandle(mapping);
        return held;
    }
    g_hMapping = mapping;
    return view;
}

const SharedSensorBlock *GetSharedBlock(void) {
    const SharedSensorBlock *block = g_pBlock;
    if (block == NULL) {
        block = OpenSharedBlock();
        if (block == NULL) {
            return NULL;
        }
    }
    if ((BLOCK_U8(block, flags) & FLAG_PUBLISHING) == 0) {
        return NULL;
    }
    if (!IsWindow(WindowFromBlockField(BLOCK_U32(block, hwnd)))) {
        return NULL;
    }
    return block;
}

void CloseSharedBlock(void) {
    const SharedSensorBlock *view = g_pBlock;
    if (view != NULL) {
        UnmapViewOfFile(view);
        g_pBlock = NULL;
    }
    if (g_hMapping != NULL) {
        CloseHandle(g_hMapping);
        g_hMapping = NULL;
    }
}
