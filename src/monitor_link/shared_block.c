/* Opens the monitor's named block read-only on demand and validates it once (the
 * test on every call whether the monitor is live is inline, in shared_block.h).
 * A rejected block is released at once and tried again on the next call; an
 * accepted one is held until detach. */
#include <windows.h>

#include "shared_block.h"

#include "block_rules.h"

/* Builds the view in locals and publishes it with one compare-exchange, so two
 * host threads making their first call together cannot both install a view;
 * the loser releases its own copy and uses the winner's. */
const SharedSensorBlock *OpenSharedBlock(void) {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, SHARED_BLOCK_NAME);
    if (mapping == NULL) {
        return NULL;
    }
    /* A view is at least one page, so the first 402 bytes are always readable. */
    const SharedSensorBlock *view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (view == NULL || ClassifyBlockHeader(view) != BLOCK_ACCEPTED) {
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
