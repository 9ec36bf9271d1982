// A host's SourceDesc record as the tests hand it to GetSourceDesc: filled with
// a marker byte first, with room after it, so every byte the module writes shows.
#pragma once

#include <cstring>
#include <string>

#include "plugin.h"

inline const std::string kCelsius = "\xB0"
                                    "C";
inline const std::string kFahrenheit = "\xB0"
                                       "F";
constexpr unsigned char kFill = 0xA5;

// A host's record, pre-filled, with room past the 76 bytes the module may write.
struct Record {
    unsigned char bytes[SOURCE_DESC_SIZE + 8];
    int32_t result = -1;
    Record() {
        std::memset(bytes, kFill, sizeof bytes);
    }
    SourceDesc *desc() {
        return reinterpret_cast<SourceDesc *>(bytes);
    }
    std::string name() {
        return std::string(desc()->name, strnlen(desc()->name, 32));
    }
    std::string units() {
        return std::string(desc()->units, strnlen(desc()->units, 32));
    }
    bool Untouched() const {
        for (unsigned char byte : bytes) {
            if (byte != kFill) {
                return false;
            }
        }
        return true;
    }
    // Nothing written past either terminator or past the record.
    bool OnlyWrittenUpToTerminators() {
        size_t nameEnd = name().size() + 1, unitsEnd = 32 + units().size() + 1;
        for (size_t i = 0; i < sizeof bytes; ++i) {
            bool mayChange =
                i < nameEnd || (i >= 32 && i < unitsEnd) || (i >= 64 && i < SOURCE_DESC_SIZE);
            if (!mayChange && bytes[i] != kFill) {
                return false;
            }
        }
        return true;
    }
};

inline Record Describe(const Plugin &plugin, uint32_t index) {
    Record record;
    record.result = plugin.SourceDesc(index, record.desc());
    return record;
}
