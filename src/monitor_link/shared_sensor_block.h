/* Layout of the monitor's shared sensor block, as the monitor publishes it:
 * little-endian and packed, so the slot arrays start unaligned at offset 18.
 * Used by the plug-in to read it and by the simulated monitor to write it. */
#ifndef SHARED_SENSOR_BLOCK_H
#define SHARED_SENSOR_BLOCK_H

#include <stddef.h>
#include <stdint.h>

#define SHARED_BLOCK_NAME "KDSharedMemory_RUD"
#define SHARED_BLOCK_VERSION 1
#define SENSOR_SLOTS 32
#define FLAG_PUBLISHING 0x01
/* The part of the block the plug-in relies on; the smallest acceptable size. */
#define SHARED_BLOCK_MIN_SIZE 402

#pragma pack(push, 1)
typedef struct SharedSensorBlock {
    uint16_t version;
    uint8_t flags;
    uint8_t reserved;
    uint32_t size;
    uint32_t hwnd;
    uint16_t numTemps;
    uint16_t numFans;
    uint16_t numExtra;
    int32_t temps[SENSOR_SLOTS]; /* hundredths of a degree */
    int32_t fans[SENSOR_SLOTS];  /* revolutions per minute */
    int32_t extra[SENSOR_SLOTS];
} SharedSensorBlock;
#pragma pack(pop)

#ifdef __cplusplus
#define KD_STATIC_ASSERT static_assert
#else
#define KD_STATIC_ASSERT _Static_assert
#endif
KD_STATIC_ASSERT(offsetof(SharedSensorBlock, numTemps) == 12, "numTemps offset");
KD_STATIC_ASSERT(offsetof(SharedSensorBlock, temps) == 18, "temps offset");
KD_STATIC_ASSERT(offsetof(SharedSensorBlock, fans) == 146, "fans offset");
KD_STATIC_ASSERT(offsetof(SharedSensorBlock, extra) == 274, "extra offset");
KD_STATIC_ASSERT(sizeof(SharedSensorBlock) == SHARED_BLOCK_MIN_SIZE, "block size");

#endif
