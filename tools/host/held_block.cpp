// A failed open is left to CopySharedBlock, which says why in its own terms.
#include "held_block.h"

#include "monitor_link/shared_sensor_block.h"

BlockCopy CopyHeldBlock(HeldBlock &held) {
    if (held.view == nullptr) {
        HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, SHARED_BLOCK_NAME);
        const void *view = mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
        if (view == nullptr) {
            if (mapping != nullptr) {
                CloseHandle(mapping);
            }
            return CopySharedBlock();
        }
        held = {mapping, view};
    }
    BlockCopy copy;
    CopyFromView(held.view, copy);
    return copy;
}

void ReleaseHeldBlock(HeldBlock &held) {
    if (held.view != nullptr) {
        UnmapViewOfFile(held.view);
    }
    if (held.mapping != nullptr) {
        CloseHandle(held.mapping);
    }
    held = {};
}
