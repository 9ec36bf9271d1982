// Writes a back buffer to a PNG file through the platform's own image encoder
// (WIC), pixel for pixel.
#pragma once

#include <string>

#include "back_buffer.h"

// False with a sentence in error when the file cannot be written. The file
// appears whole or not at all (the file layer's WriteReplacing).
bool WritePng(const BackBuffer &buffer, const std::string &path, std::string &error);

// Whether a file of that name could be created: its folder exists. False with
// a sentence in error.
bool PngPathUsable(const std::string &path, std::string &error);

// A COM result as the Windows documentation writes it: "0x80070005".
std::string ResultCodeText(long result);
