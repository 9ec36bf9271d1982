/* Maps a host's source index onto the block's temperature and fan slots. */
#include "source_index.h"

#include "../monitor_link/block_fields.h"

uint32_t CountSources(const SharedSensorBlock *block) {
    return ClampCount(BLOCK_U16(block, numTemps)) + ClampCount(BLOCK_U16(block, numFans));
}

BOOL ResolveSource(const SharedSensorBlock *block, uint32_t index, SourceRef *ref) {
    uint32_t temps = ClampCount(BLOCK_U16(block, numTemps));
    uint32_t fans = ClampCount(BLOCK_U16(block, numFans));
    if (index >= temps + fans) {
        return FALSE;
    }
    if (index < temps) {
        ref->group = SOURCE_TEMPERATURE;
        ref->slot = index;
    } else {
        ref->group = SOURCE_FAN;
        ref->slot = index - temps;
    }
    ref->number = ref->slot + 1;
    return TRUE;
}
