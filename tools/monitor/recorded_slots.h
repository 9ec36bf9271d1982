// The rows of one recorded snapshot placed by their index, as the host numbered
// its sources (temperatures first, then fans), so a row that cannot be read
// leaves "no reading" at its own index and never shifts the others.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "published_readings.h"
#include "recorded_row.h"

// The group each index had in the snapshot before: where a snapshot cannot
// tell a gap's group (between its last temperature and its first fan), the
// group it had before decides.
using GroupHints = std::array<RowGroup, kRecordedSources>;

class RecordedSlots {
  public:
    // Places a row at its index. A row that could not be read (readable false)
    // leaves no reading there. "" when placed, else why not: its index is taken
    // already (the first row is kept), or a temperature after a fan.
    std::string Place(const RecordedRow &row, bool readable);

    bool Empty() const {
        return highest_ < 0;
    }

    // The snapshot as the block's readings; every index up to the highest one
    // is published, gaps as no reading. Updates hints with the groups used.
    Readings Build(GroupHints &hints) const;

  private:
    struct Slot {
        bool used = false;
        RowGroup group = RowGroup::Unknown; // Unknown: no reading of a group to find
        int32_t value = kNoReadingSlot;
    };
    std::array<Slot, kRecordedSources> slots_{};
    int highest_ = -1;
    int lastTemperature_ = -1;
    int firstFan_ = kRecordedSources;
};
