/* Hardened reads of the shared block, which another process writes while we
 * read it: every field is fetched with exactly one unaligned volatile load, and
 * counts are clamped to the group's slots so no later use can leave them. */
#ifndef BLOCK_FIELDS_H
#define BLOCK_FIELDS_H

#include "shared_sensor_block.h"

typedef struct __attribute__((packed, may_alias)) {
    uint8_t v;
} Unaligned8;
typedef struct __attribute__((packed, may_alias)) {
    uint16_t v;
} Unaligned16;
typedef struct __attribute__((packed, may_alias)) {
    uint32_t v;
} Unaligned32;

#define BLOCK_FIELD_ADDR(block, field)                                                             \
    ((const volatile char *)(block) + offsetof(SharedSensorBlock, field))

static inline uint8_t LoadU8(const volatile char *at) {
    return ((const volatile Unaligned8 *)at)->v;
}
static inline uint16_t LoadU16(const volatile char *at) {
    return ((const volatile Unaligned16 *)at)->v;
}
static inline uint32_t LoadU32(const volatile char *at) {
    return ((const volatile Unaligned32 *)at)->v;
}

#define BLOCK_U8(block, field) LoadU8(BLOCK_FIELD_ADDR(block, field))
#define BLOCK_U16(block, field) LoadU16(BLOCK_FIELD_ADDR(block, field))
#define BLOCK_U32(block, field) LoadU32(BLOCK_FIELD_ADDR(block, field))

/* The count rule: a group holds at most SENSOR_SLOTS readings. A count as
 * published, read once; a value past the slots is taken as all slots. */
static inline uint32_t ClampCount(uint32_t published) {
    return published > SENSOR_SLOTS ? SENSOR_SLOTS : published;
}

/* Whether a count breaks the rule (the block's validation rejects it). */
static inline int CountAboveSlots(uint32_t published) {
    return ClampCount(published) != published;
}

/* One slot of a group; the caller guarantees slot < SENSOR_SLOTS. */
static inline int32_t LoadSlot(const SharedSensorBlock *block, size_t groupOffset, uint32_t slot) {
    return (int32_t)LoadU32((const volatile char *)block + groupOffset + slot * sizeof(int32_t));
}

#endif
