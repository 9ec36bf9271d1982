// Whole files for tests, read and written byte for byte; a test states what a
// file holds, so it reads files with code of its own, not the tools' layer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The file's bytes; "" (or none) when it cannot be read.
std::string FileText(const std::string &path);
std::vector<uint8_t> FileBytes(const std::string &path);

// Replaces the file with these bytes.
void WriteFileText(const std::string &path, const std::string &bytes);
