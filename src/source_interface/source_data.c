/* GetSourcesNum and GetSourceData: the count of sources and each one's current
 * value, read afresh from the live block on every call. */
#include "../module/module_state.h"
#include "../monitor_link/block_fields.h"
#include "../monitor_link/shared_block.h"
#include "kelvodyn.h"
#include "source_index.h"

/* Plausibility bounds on the raw integer, inclusive. */
#define CELSIUS_LIMIT 30000    /* 300.00 degrees */
#define FAHRENHEIT_LIMIT 57200 /* 572.00 degrees, which is 300 degrees Celsius */
#define FAN_LIMIT 15000        /* RPM */

/* Hundredths to degrees: multiplied by the single-precision 0.01 (0x3C23D70A)
 * and rounded once, never divided by 100. SSE math keeps the product single. */
static const float HUNDREDTH = 0.01f;

/* The temperature bound in the unit of the monitor's scale, indexed by
 * g_useFahrenheit (set once, at attach), so the bound costs no branch. */
static const uint32_t TEMPERATURE_LIMIT[2] = {CELSIUS_LIMIT, FAHRENHEIT_LIMIT};

/* -limit <= raw <= limit, as one unsigned comparison: raw + limit wraps past
 * 2 * limit for every raw below -limit. */
static inline BOOL WithinBound(int32_t raw, uint32_t limit) {
    return (uint32_t)raw + limit <= 2u * limit;
}

int32_t KD_CDECL GetSourcesNum(void) {
    const SharedSensorBlock *block = GetSharedBlock();
    return block == NULL ? 0 : (int32_t)CountSources(block);
}

float KD_CDECL GetSourceData(uint32_t index) {
    const SharedSensorBlock *block = GetSharedBlock();
    SourceRef ref;
    if (block == NULL || !ResolveSource(block, index, &ref)) {
        return NO_READING;
    }
    if (ref.group == SOURCE_TEMPERATURE) {
        int32_t raw = LoadSlot(block, offsetof(SharedSensorBlock, temps), ref.slot);
        return WithinBound(raw, TEMPERATURE_LIMIT[g_useFahrenheit != 0]) ? (float)raw * HUNDREDTH
                                                                         : NO_READING;
    }
    int32_t raw = LoadSlot(block, offsetof(SharedSensorBlock, fans), ref.slot);
    return WithinBound(raw, FAN_LIMIT) ? (float)raw : NO_READING;
}
