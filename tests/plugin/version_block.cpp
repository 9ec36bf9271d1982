// Version resource blocks: a length, a value length, a type, a UTF-16 key, then
// the value and the child blocks, each starting on a 4-byte boundary.
#include "version_block.h"

#include <cstring>

namespace {

uint32_t Align4(uint32_t offset) {
    return (offset + 3) & ~3u;
}

class Parser {
  public:
    explicit Parser(const std::vector<uint8_t> &bytes) : bytes_(bytes) {}

    // The node stored at offset, which must end by limit.
    bool Node(uint32_t offset, uint32_t limit, VersionNode &node, uint32_t &length) {
        uint16_t valueLength;
        if (!Word(offset, limit, length) || !Word(offset + 2, limit, valueLength) ||
            !Word(offset + 4, limit, node.type)) {
            return false;
        }
        uint32_t end = offset + length;
        if (length < 6 || end > limit) {
            return Fail("block length " + std::to_string(length) + " at " + std::to_string(offset));
        }
        uint32_t at = offset + 6;
        if (!Text(at, end, node.key)) {
            return false;
        }
        at = Align4(at);
        uint32_t valueBytes = node.type == 1 ? 2u * valueLength : valueLength;
        if (at + valueBytes > end) {
            return Fail("value of " + node.key + " runs past its block");
        }
        node.value.assign(bytes_.begin() + at, bytes_.begin() + at + valueBytes);
        if (node.type == 1 && valueBytes != 0) {
            uint32_t textAt = at;
            if (!Text(textAt, at + valueBytes, node.text)) {
                return false;
            }
        }
        for (at = Align4(at + valueBytes); at < end;) {
            VersionNode child;
            uint32_t childLength;
            if (!Node(at, end, child, childLength)) {
                return false;
            }
            node.children.push_back(child);
            at = Align4(at + childLength);
        }
        return true;
    }

    std::string error;

  private:
    template <typename T> bool Word(uint32_t offset, uint32_t limit, T &out) {
        if (offset + 2 > limit || offset + 2 > bytes_.size()) {
            return Fail("truncated block at " + std::to_string(offset));
        }
        uint16_t word;
        std::memcpy(&word, bytes_.data() + offset, 2);
        out = word;
        return true;
    }
    // A NUL-terminated UTF-16 string at offset; offset moves past the terminator.
    bool Text(uint32_t &offset, uint32_t limit, std::string &out) {
        for (uint16_t ch; Word(offset, limit, ch);) {
            offset += 2;
            if (ch == 0) {
                return true;
            }
            out += ch < 0x80 ? char(ch) : '?';
        }
        return Fail("unterminated text at " + std::to_string(offset));
    }
    bool Fail(const std::string &why) {
        if (error.empty()) {
            error = why;
        }
        return false;
    }

    const std::vector<uint8_t> &bytes_;
};

} // namespace

VersionNode ParseVersionBlock(const std::vector<uint8_t> &bytes, std::string &error) {
    Parser parser(bytes);
    VersionNode root;
    uint32_t length;
    parser.Node(0, uint32_t(bytes.size()), root, length);
    error = parser.error;
    return root;
}

const VersionNode *ChildNamed(const VersionNode &node, const std::string &key) {
    for (const VersionNode &child : node.children) {
        if (child.key == key) {
            return &child;
        }
    }
    return nullptr;
}
