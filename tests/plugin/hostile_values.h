// Values a misbehaving monitor writes into the block, and every answer the
// module may give for them: what a host thread may see while the block changes.
#pragma once

#include <cstdint>
#include <set>
#include <vector>

// Fills the third group and the bytes after the block: plausible both as a fan
// speed and as a temperature, so only a read outside the two groups yields it.
constexpr int32_t kSentinel = 3333;

// Raw slot values, the 32-bit extremes and both sides of every bound among them.
extern const std::vector<int32_t> kHostileTemps;
extern const std::vector<int32_t> kHostileFans;

// Every raw value a slot can be read as while one write replaces another: an
// unaligned slot that straddles a cache line may be read half old, half new.
std::vector<int32_t> TornReads(const std::vector<int32_t> &written);

// Float bit patterns GetSourceData may return when temperature slots only ever
// hold temps and fan slots only fans (Celsius bound): NO_READING, or a value
// converted by its group's rule and inside its group's bound.
std::set<uint32_t> PossibleAnswers(const std::vector<int32_t> &temps,
                                   const std::vector<int32_t> &fans);
