/* The one C library function the module uses, written here because the module
 * links no C runtime. */
#include <stddef.h>

char *strrchr(const char *str, int ch) {
    const char *last = NULL;
    for (;; ++str) {
        if (*str == (char)ch) {
            last = str;
        }
        if (*str == '\0') {
            return (char *)last;
        }
    }
}
