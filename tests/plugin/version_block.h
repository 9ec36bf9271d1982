// Parses the raw bytes of a version resource into its tree of keyed blocks, in
// the order they are stored, so a test can see the order a reader walks them in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct VersionNode {
    std::string key;   // the UTF-16 key, which is ASCII in every block we read
    uint16_t type = 0; // 1 for text, 0 for binary
    std::vector<uint8_t> value;
    std::string text; // the value of a text node, without its terminator
    std::vector<VersionNode> children;
};

// The root block ("VS_VERSION_INFO"); error names the first fault, empty when none.
VersionNode ParseVersionBlock(const std::vector<uint8_t> &bytes, std::string &error);

// The first child with this key, or nullptr.
const VersionNode *ChildNamed(const VersionNode &node, const std::string &key);
