// The shared block kept open between copies by a reader that copies it often:
// a copy then reads the view in place, without opening, mapping and closing.
// Holding a handle keeps the block's name alive, as any holder does, so a
// reader holds it only while the plug-in holds it too.
#pragma once

#include "block_copy.h"

struct HeldBlock {
    HANDLE mapping = nullptr;
    const void *view = nullptr;
};

// A copy from the held view; with none held, the block is opened and held
// first, and when it cannot be, the copy says why and nothing is held.
BlockCopy CopyHeldBlock(HeldBlock &held);

void ReleaseHeldBlock(HeldBlock &held);
