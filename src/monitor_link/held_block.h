/* The block the module holds: one mapping handle and one read-only view, from
 * the first open that passes validation until detach. Zero at load. */
#ifndef HELD_BLOCK_H
#define HELD_BLOCK_H

#include <windows.h>

#include "shared_sensor_block.h"

/* Set once, when the first view that passes validation is published; cleared at detach. */
extern HANDLE g_hMapping;
/* Volatile wherever the module runs; only the proof (tests/verify) defines it empty. */
#ifndef KD_VIEW_VOLATILE
#define KD_VIEW_VOLATILE volatile
#endif
extern const SharedSensorBlock *KD_VIEW_VOLATILE g_pBlock;

#endif
