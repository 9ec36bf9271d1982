/* Reads text and boolean values from the module's settings file. */
#include "settings.h"

#include "module_state.h"
#include "settings_path.h"

#define SETTINGS_SECTION "kelvodyn"
#define SETTINGS_EXTENSION ".ini"
#define PATH_BUFFER_BYTES 272
#define MODULE_PATH_CHARS 270
#define BOOL_VALUE_CHARS 10

/* What the profile call answers for a missing file: the default, cut to fit. */
/*@ requires valid_read_string(defaultValue);
    requires 0 < outSize <= 2147483647 && \valid(out + (0 .. outSize - 1));
    assigns out[0 .. outSize - 1];
    ensures \result < outSize;
 */
static uint32_t CopyDefault(const char *defaultValue, char *out, uint32_t outSize) {
    if (outSize == 0) {
        return 0;
    }
    lstrcpynA(out, defaultValue, (int)outSize);
    return (uint32_t)lstrlenA(out);
}

/* The path handed to the profile call is terminated within its buffer for
 * every module path length, the cut and the failed lookup included. */
/*@ requires valid_read_string(key) && valid_read_string(defaultValue);
    requires 0 < outSize <= 2147483647 && \valid(out + (0 .. outSize - 1));
    assigns out[0 .. outSize - 1];
    ensures \result < outSize;
 */
uint32_t GetIniString(const char *key, const char *defaultValue, char *out, uint32_t outSize) {
    char path[PATH_BUFFER_BYTES];
    DWORD length = GetModuleFileNameA(g_hInstance, path, MODULE_PATH_CHARS);
    /* A failed or cut lookup (a cut path may be unterminated) names no file we
     * could open, and ".ini" must never be written past the buffer: defaults apply. */
    if (length == 0 || length + sizeof SETTINGS_EXTENSION > sizeof path) {
        return CopyDefault(defaultValue, out, outSize);
    }
    ReplaceExtension(path, SETTINGS_EXTENSION);
    return GetPrivateProfileStringA(SETTINGS_SECTION, key, defaultValue, out, outSize, path);
}

/* Tried in this order; "da" and "net" are the Windows-1251 bytes of the Russian words. */
static const char *const TRUE_WORDS[] = {"yes", "1", "true", "\xE4\xE0"};
static const char *const FALSE_WORDS[] = {"no", "0", "false", "\xED\xE5\xF2"};
#define WORD_COUNT (sizeof TRUE_WORDS / sizeof TRUE_WORDS[0])

BOOL GetIniBool(const char *key, BOOL defaultValue) {
    char value[12];
    GetIniString(key, "", value, BOOL_VALUE_CHARS);
    for (unsigned i = 0; i < WORD_COUNT; ++i) {
        if (lstrcmpiA(value, TRUE_WORDS[i]) == 0) {
            return TRUE;
        }
    }
    for (unsigned i = 0; i < WORD_COUNT; ++i) {
        if (lstrcmpiA(value, FALSE_WORDS[i]) == 0) {
            return FALSE;
        }
    }
    return defaultValue;
}
