/* Module-wide state: the module's handle and the unit switch, zero at load and
 * set at attach. The held block's handle and view are the monitor link's
 * (monitor_link/held_block.h). */
#ifndef MODULE_STATE_H
#define MODULE_STATE_H

#include <windows.h>

extern HINSTANCE g_hInstance;
extern BYTE g_useFahrenheit;

#endif
