/* Finds, validates, holds and releases the monitor's shared block. */
#ifndef SHARED_BLOCK_H
#define SHARED_BLOCK_H

#include "shared_sensor_block.h"

/* The held block when it passed validation and the monitor is live now; else NULL. */
const SharedSensorBlock *GetSharedBlock(void);

/* Releases the view, then the handle; does nothing when none is held. */
void CloseSharedBlock(void);

#endif
