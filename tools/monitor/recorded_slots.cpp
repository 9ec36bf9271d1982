// Places rows by index and finds the group of each gap from its neighbours.
#include "recorded_slots.h"

#include <algorithm>

std::string RecordedSlots::Place(const RecordedRow &row, bool readable) {
    if (row.index < 0) {
        return "";
    }
    Slot &slot = slots_[size_t(row.index)];
    if (slot.used) {
        return "source " + std::to_string(row.index) + " appears twice at " + row.time +
               "; the first row is kept";
    }
    slot.used = true;
    highest_ = std::max(highest_, row.index);
    std::string problem;
    RowGroup group = row.group;
    if (group == RowGroup::Temperature && row.index > firstFan_) {
        problem = "temperature " + std::to_string(row.index) + " after fan " +
                  std::to_string(firstFan_) + ": the host numbers temperatures first";
        group = RowGroup::Unknown;
    } else if (group == RowGroup::Fan && row.index < lastTemperature_) {
        problem = "fan " + std::to_string(row.index) + " before temperature " +
                  std::to_string(lastTemperature_) + ": the host numbers temperatures first";
        group = RowGroup::Unknown;
    }
    if (group == RowGroup::Temperature) {
        lastTemperature_ = std::max(lastTemperature_, row.index);
    } else if (group == RowGroup::Fan) {
        firstFan_ = std::min(firstFan_, row.index);
    }
    slot.group = group;
    slot.value = readable && problem.empty() ? row.slot : kNoReadingSlot;
    return problem;
}

Readings RecordedSlots::Build(GroupHints &hints) const {
    // Below the last temperature every gap is a temperature, above the first
    // fan a fan; in between, up to the last index that was a temperature
    // before, temperatures (fans when nothing tells).
    int lastTemperature = lastTemperature_;
    for (int i = lastTemperature_ + 1; i < std::min(firstFan_, highest_ + 1); ++i) {
        if (hints[size_t(i)] == RowGroup::Temperature || firstFan_ == kRecordedSources) {
            lastTemperature = hints[size_t(i)] == RowGroup::Fan ? lastTemperature : i;
        }
    }
    Readings readings;
    for (int i = 0; i <= highest_; ++i) {
        const bool temperature = i <= lastTemperature;
        (temperature ? readings.temps : readings.fans).push_back(slots_[size_t(i)].value);
        hints[size_t(i)] = temperature ? RowGroup::Temperature : RowGroup::Fan;
    }
    return readings;
}
