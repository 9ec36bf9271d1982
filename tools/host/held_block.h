// The shared block kept open between copies by a reader that copies it often:
// a copy then reads the view in place, without opening, mapping and closing.
// Holding a handle keeps the block's name alive, as any holder does, so a
// reader holds it only while the block is live, when its monitor holds it too.
#pragma once

#include "block_copy.h"

struct HeldBlock {
    HANDLE mapping = nullptr;
    const void *view = nullptr;
};

// Opens the block read-only and keeps a view of it; false, holding nothing,
// when it cannot be opened or mapped.
bool HoldBlock(HeldBlock &held);

// A copy from the held view, as CopySharedBlock makes one (without the
// window's process). A view must be held.
BlockCopy CopyHeldBlock(const HeldBlock &held);

void ReleaseHeldBlock(HeldBlock &held);
