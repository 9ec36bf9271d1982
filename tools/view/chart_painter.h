// Draws kdview's whole picture into a DC: the banner when there are no
// sources, and one chart per source laid out by chart_layout.
#pragma once

#include <windows.h>

#include <string>

#include "live_view_state.h"

struct ViewFonts {
    HFONT name = nullptr;
    HFONT value = nullptr;
    HFONT label = nullptr; // gridline labels and the caption
    HFONT banner = nullptr;
};

ViewFonts CreateViewFonts();
void DeleteViewFonts(ViewFonts &fonts);

struct ViewPicture {
    const LiveViewState *state = nullptr;
    std::string banner;  // UTF-8; empty: none, the sources are live
    size_t capacity = 0; // samples a full plot holds
    unsigned intervalMs = 1000;
};

void PaintView(HDC dc, int width, int height, const ViewFonts &fonts, const ViewPicture &picture);
