/* Where the platform layer gets its answers: every choice the real platform,
 * the monitor or the host could make. The proof takes every value at once;
 * the fuzzer draws them from its input. */
#ifndef KD_PLATFORM_CHOICE_H
#define KD_PLATFORM_CHOICE_H

#include <stddef.h>

/* Any value from lo to hi, both included. */
int KdChoose(int lo, int hi);
/* Any bytes, NUL included. */
void KdChooseBytes(char *out, size_t count);
/* The monitor writing the block: called at every platform call the module makes. */
void KdMonitorWrites(char *view, size_t viewBytes);
/* A broken rule of the platform's contract: the analysis must flag it, the fuzzer stops. */
void KdViolation(int holds, const char *rule);

#endif
