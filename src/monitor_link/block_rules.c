/* The header's rules, tested in a fixed order so that every reader names the
 * same broken rule for the same block. */
#include "block_rules.h"

#include "block_fields.h"

BlockRule ClassifyBlockHeader(const SharedSensorBlock *block) {
    if (BLOCK_U16(block, version) != SHARED_BLOCK_VERSION) {
        return BLOCK_WRONG_VERSION;
    }
    if (BLOCK_U32(block, size) < SHARED_BLOCK_MIN_SIZE) {
        return BLOCK_TOO_SMALL;
    }
    if (CountAboveSlots(BLOCK_U16(block, numTemps))) {
        return BLOCK_TOO_MANY_TEMPS;
    }
    if (CountAboveSlots(BLOCK_U16(block, numFans))) {
        return BLOCK_TOO_MANY_FANS;
    }
    if (CountAboveSlots(BLOCK_U16(block, numExtra))) {
        return BLOCK_TOO_MANY_EXTRA;
    }
    return BLOCK_ACCEPTED;
}
