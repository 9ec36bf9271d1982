// Creating and releasing the DIB section and its DC.
#include "back_buffer.h"

bool ResizeBackBuffer(BackBuffer &buffer, int width, int height) {
    FreeBackBuffer(buffer);
    if (width <= 0 || height <= 0) {
        return false;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // negative: the first row is the top one
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    buffer.bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    buffer.dc = CreateCompatibleDC(nullptr);
    if (buffer.bitmap == nullptr || buffer.dc == nullptr) {
        FreeBackBuffer(buffer);
        return false;
    }
    buffer.previous = SelectObject(buffer.dc, buffer.bitmap);
    buffer.pixels = static_cast<uint32_t *>(bits);
    buffer.width = width;
    buffer.height = height;
    return true;
}

void FreeBackBuffer(BackBuffer &buffer) {
    if (buffer.dc != nullptr) {
        if (buffer.previous != nullptr) {
            SelectObject(buffer.dc, buffer.previous);
        }
        DeleteDC(buffer.dc);
    }
    if (buffer.bitmap != nullptr) {
        DeleteObject(buffer.bitmap);
    }
    buffer = BackBuffer();
}
