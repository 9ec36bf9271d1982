// The picture kdview draws into: a 32-bit top-down DIB section selected into a
// memory DC. The window only copies it to the screen, and a snapshot writes
// these very pixels, so both show the same picture.
#pragma once

#include <windows.h>

#include <cstdint>

struct BackBuffer {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr; // the DC's own bitmap, put back before deleting
    uint32_t *pixels = nullptr; // width * height, row by row from the top, 0x00RRGGBB
    int width = 0;
    int height = 0;
};

// Replaces buffer with one of the given size; false (and an empty buffer) when
// the system cannot give one.
bool ResizeBackBuffer(BackBuffer &buffer, int width, int height);

void FreeBackBuffer(BackBuffer &buffer);
