/* Module-wide state: four globals, zero at load, none of them on the heap. */
#ifndef MODULE_STATE_H
#define MODULE_STATE_H

#include <windows.h>

#include "../monitor_link/shared_sensor_block.h"

extern HINSTANCE g_hInstance;
extern BYTE g_useFahrenheit;
/* Set once, when the first view that passes validation is published; cleared at detach. */
extern HANDLE g_hMapping;
/* Volatile wherever the module runs; only the proof (tests/verify) defines it empty. */
#ifndef KD_VIEW_VOLATILE
#define KD_VIEW_VOLATILE volatile
#endif
extern const SharedSensorBlock *KD_VIEW_VOLATILE g_pBlock;

#endif
