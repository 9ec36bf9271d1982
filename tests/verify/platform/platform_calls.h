/* What the platform layer shows its drivers: the view it hands out, the module
 * handle it was loaded with, and whether the module still holds anything. */
#ifndef KD_PLATFORM_CALLS_H
#define KD_PLATFORM_CALLS_H

#include "windows.h"

/* The monitor's block, exactly as large as the module relies on: a larger
 * view only gives the module more room, so this one covers every size. */
#define KD_VIEW_BYTES 402
extern char g_kdView[KD_VIEW_BYTES];

/* The length of the last text a platform call answered (a path, a value),
 * until it has been used: the proof keeps one state per length, so each keeps
 * its own terminator. The driver resets it after every call. */
extern int g_kdAnswerLength;

/* The handle the loader passes to the module's entry routine. */
HINSTANCE KdModuleHandle(void);

/* Mapping handles and views the module holds now (0 or 1 each). */
int KdHeldMappings(void);
int KdHeldViews(void);

#endif
