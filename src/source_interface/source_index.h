/* The source index space: temperatures first, then fans; the third group never
 * takes part. Resolved from one read of each count, so the range test and the
 * slot chosen always agree even while the monitor changes its counts. */
#ifndef SOURCE_INDEX_H
#define SOURCE_INDEX_H

#include <stdint.h>
#include <windows.h>

#include "../monitor_link/shared_sensor_block.h"

typedef enum SourceGroup { SOURCE_TEMPERATURE, SOURCE_FAN } SourceGroup;

typedef struct SourceRef {
    SourceGroup group;
    uint32_t slot;   /* within the group, always below SENSOR_SLOTS */
    uint32_t number; /* 1-based within the group, for keys and default names */
} SourceRef;

/* Temperatures plus fans, each count clamped to the group's slots. */
uint32_t CountSources(const SharedSensorBlock *block);

/* FALSE when index is out of range (every comparison unsigned). */
BOOL ResolveSource(const SharedSensorBlock *block, uint32_t index, SourceRef *ref);

#endif
