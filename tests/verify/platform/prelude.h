/* Included ahead of every plug-in source built off Windows (-include). The
 * module's own strrchr is renamed so it cannot clash with a C library's. */
#ifndef KD_PLATFORM_PRELUDE_H
#define KD_PLATFORM_PRELUDE_H

#include <string.h>

#define strrchr kd_strrchr
char *kd_strrchr(const char *str, int ch);

#ifdef __FRAMAC__
/* The analyser reads a volatile pointer as any offset into its target: the
 * analysed g_pBlock is a plain pointer, which one thread of the driver may use. */
#define KD_VIEW_VOLATILE
/* The analyser lacks this builtin; one thread makes it a plain test-and-set. */
#define __sync_val_compare_and_swap(target, expected, desired)                                     \
    ({                                                                                             \
        __typeof__(*(target)) kd_seen = *(target);                                                 \
        if (kd_seen == (expected)) {                                                               \
            *(target) = (desired);                                                                 \
        }                                                                                          \
        kd_seen;                                                                                   \
    })
#endif

#endif
