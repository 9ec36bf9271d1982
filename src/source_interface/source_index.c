/* Maps a host's source index onto the block's temperature and fan slots. */
#include "source_index.h"

#include "../monitor_link/block_fields.h"

uint32_t CountSources(const SharedSensorBlock *block) {
    return ClampCount(BLOCK_U16(block, numTemps)) + ClampCount(BLOCK_U16(block, numFans));
}

BOOL ResolveSource(const SharedSensorBlock *block, uint32_t index, SourceRef *ref) {
    uint32_t temps = ClampCount(BLOCK_U16(block, numTemps));
    if (index < temps) {
        ref->group = SOURCE_TEMPERATURE;
        ref->slot = index;
    } else {
        /* index - temps < fans is index < temps + fans here. A temperature's
         * answer does not depend on the fan count, so it is read only for fans. */
        uint32_t slot = index - temps;
        if (slot >= ClampCount(BLOCK_U16(block, numFans))) {
            return FALSE;
        }
        ref->group = SOURCE_FAN;
        ref->slot = slot;
    }
    ref->number = ref->slot + 1;
    return TRUE;
}
