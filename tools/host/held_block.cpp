// The view is of the whole mapping, as CopySharedBlock maps it, so a copy
// reads the same bytes either way.
#include "held_block.h"

#include "monitor_link/shared_sensor_block.h"

bool HoldBlock(HeldBlock &held) {
    ReleaseHeldBlock(held);
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, SHARED_BLOCK_NAME);
    const void *view = mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
    if (view == nullptr) {
        if (mapping != nullptr) {
            CloseHandle(mapping);
        }
        return false;
    }
    held = {mapping, view};
    return true;
}

BlockCopy CopyHeldBlock(const HeldBlock &held) {
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
