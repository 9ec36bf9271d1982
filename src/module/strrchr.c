/* The one C library function the module uses, written here because the module
 * links no C runtime. */
#include <stddef.h>

/*@ requires valid_read_string(str);
    assigns \nothing;
    ensures \result == \null || (\base_addr(\result) == \base_addr(str) &&
                                 str <= \result <= str + strlen(str));
 */
char *strrchr(const char *str, int ch) {
    const char *last = NULL;
    /*@ loop unroll 300;
        loop invariant \base_addr(str) == \base_addr(\at(str, Pre));
        loop invariant \at(str, Pre) <= str <= \at(str, Pre) + strlen(\at(str, Pre));
        loop invariant last == \null || (\base_addr(last) == \base_addr(str) &&
                                         \at(str, Pre) <= last < str);
        loop assigns str, last;
        loop variant strlen(\at(str, Pre)) - (str - \at(str, Pre));
     */
    for (;; ++str) {
        if (*str == (char)ch) {
            last = str;
        }
        if (*str == '\0') {
            return (char *)last;
        }
    }
}
