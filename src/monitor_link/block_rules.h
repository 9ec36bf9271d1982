/* The rules a block's header must keep before the plug-in reads anything else
 * from it, in the order they are tested. Plain C with no platform calls: the
 * plug-in's open and kdhost's diagnosis both decide by this one function. */
#ifndef BLOCK_RULES_H
#define BLOCK_RULES_H

#include "shared_sensor_block.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef enum BlockRule {
    BLOCK_ACCEPTED = 0,
    BLOCK_WRONG_VERSION,  /* version is not SHARED_BLOCK_VERSION */
    BLOCK_TOO_SMALL,      /* the declared size is below SHARED_BLOCK_MIN_SIZE */
    BLOCK_TOO_MANY_TEMPS, /* numTemps above SENSOR_SLOTS */
    BLOCK_TOO_MANY_FANS,  /* numFans above SENSOR_SLOTS */
    BLOCK_TOO_MANY_EXTRA, /* numExtra above SENSOR_SLOTS */
} BlockRule;

/* The first rule the header breaks, or BLOCK_ACCEPTED. Each field is loaded
 * once; the block may be a live view another process writes. */
BlockRule ClassifyBlockHeader(const SharedSensorBlock *block);

#ifdef __cplusplus
}
#endif

#endif
