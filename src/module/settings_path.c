/* Derives the settings file's path from the module's. Only the backslash and the
 * colon end a folder or drive part; a forward slash is an ordinary character. */
#include <string.h>
#include <windows.h>

#include "settings_path.h"

void ReplaceExtension(char *path, const char *ext) {
    char *dot = strrchr(path, '.');
    char *slash = strrchr(path, '\\');
    char *colon = strrchr(path, ':');
    /* A separator that was not found counts as lying before the whole string. */
    if (dot != NULL && (slash == NULL || dot > slash) && (colon == NULL || dot > colon)) {
        lstrcpyA(dot, ext);
    } else {
        lstrcatA(path, ext);
    }
}
