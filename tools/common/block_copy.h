// A copy of the monitor's shared block, taken read-only and without the
// plug-in, with what can be learnt about the window it names.
#pragma once

#include <windows.h>

#include <cstddef>

#include "monitor_link/shared_sensor_block.h"

enum class BlockAccess { Copied, NoSuchBlock, CannotOpen };

struct BlockCopy {
    BlockAccess access = BlockAccess::NoSuchBlock;
    DWORD error = 0;           // the system's error code when it could not be opened
    size_t viewBytes = 0;      // bytes readable in the view
    SharedSensorBlock block{}; // the first bytes of the view; zero past viewBytes
    bool windowExists = false; // hwnd named an existing window when copied
    DWORD windowProcess = 0;   // the process owning that window (CopySharedBlock only)
};

// Opens "KDSharedMemory_RUD" for reading, copies it once and lets it go again.
BlockCopy CopySharedBlock();

// Copies the first bytes of a mapped view of the block and asks whether the
// window it names exists; the mapping and the view stay the caller's.
void CopyFromView(const void *view, BlockCopy &copy);
