/* Storage for the held block's handle and view. */
#include "held_block.h"

HANDLE g_hMapping;
const SharedSensorBlock *KD_VIEW_VOLATILE g_pBlock;
