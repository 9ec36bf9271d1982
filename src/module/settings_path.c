/* Derives the settings file's path from the module's. Only the backslash and the
 * colon end a folder or drive part; a forward slash is an ordinary character. */
#include <string.h>
#include <windows.h>

#include "settings_path.h"

/*@ requires valid_string(path) && valid_read_string(ext);
    requires \valid(path + (0 .. strlen(path) + strlen(ext)));
    requires \separated(path + (0 .. strlen(path) + strlen(ext)), ext + (0 .. strlen(ext)));
    assigns path[0 .. strlen(path) + strlen(ext)];
    ensures 0 <= strlen(path) <= \old(strlen(path) + strlen(ext));
 */
void ReplaceExtension(char *path, const char *ext) {
    char *dot = strrchr(path, '.');
    char *slash = strrchr(path, '\\');
    char *colon = strrchr(path, ':');
    /* A separator that was not found counts as lying before the whole string. */
    if (dot != NULL && (slash == NULL || dot > slash) && (colon == NULL || dot > colon)) {
        lstrcpyA(dot, ext);
        /*@ assert path[(dot - path) + \at(strlen(ext), Pre)] == '\0'; */
    } else {
        lstrcatA(path, ext);
        /*@ assert path[\at(strlen(path) + strlen(ext), Pre)] == '\0'; */
    }
}
