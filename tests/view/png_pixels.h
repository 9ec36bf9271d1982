// Reads a PNG file into plain pixels through the platform's own decoder (WIC),
// so a test can check what a picture shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> rgb; // row by row from the top, 0x00RRGGBB
    bool opaque = true;        // no pixel is even partly transparent

    uint32_t At(int x, int y) const {
        return rgb[size_t(y) * size_t(width) + size_t(x)];
    }
};

// False with a sentence in error when the file is no readable PNG.
bool ReadPng(const std::string &path, Pixels &pixels, std::string &error);

// A GDI COLORREF (0x00BBGGRR) as the 0x00RRGGBB of Pixels.
uint32_t Rgb(uint32_t colorref);
