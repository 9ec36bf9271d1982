// kdview's colours. Lines and marks are drawn without smoothing, so each of
// these appears in the picture exactly as written here.
#pragma once

#include <windows.h>

constexpr COLORREF kWindowColour = RGB(235, 238, 242);
constexpr COLORREF kCardColour = RGB(255, 255, 255);
constexpr COLORREF kCardEdgeColour = RGB(206, 211, 219);
constexpr COLORREF kGridColour = RGB(217, 224, 236); // gridlines inside the plot
constexpr COLORREF kAxisColour = RGB(122, 130, 144); // the vertical axis and its ticks
constexpr COLORREF kTextColour = RGB(36, 41, 49);
constexpr COLORREF kQuietTextColour = RGB(112, 119, 130); // labels and captions
constexpr COLORREF kTemperatureColour = RGB(232, 98, 28);
constexpr COLORREF kFanColour = RGB(28, 112, 214);
constexpr COLORREF kOtherColour = RGB(128, 72, 180);   // a source of neither group
constexpr COLORREF kGreyedColour = RGB(168, 172, 178); // everything a stopped source draws
constexpr COLORREF kBannerColour = RGB(255, 241, 199);
constexpr COLORREF kBannerEdgeColour = RGB(226, 190, 104);
constexpr COLORREF kBannerTextColour = RGB(92, 66, 10);
// Behind the part of a plot that extends past the source's own scale.
constexpr COLORREF kExtendedColour = RGB(243, 245, 249);
