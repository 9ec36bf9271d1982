/* Reads text and boolean values from the module's settings file. */
#include "settings.h"

#include "module_state.h"
#include "settings_file.h"
#include "settings_path.h"

#define PATH_BUFFER_BYTES 272
#define MODULE_PATH_CHARS 270

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
    return ReadSettingsFile(path, key, defaultValue, out, outSize);
}

BOOL GetIniBool(const char *key, BOOL defaultValue) {
    char value[12];
    GetIniString(key, "", value, SETTINGS_WORD_CHARS + 1);
    int word = SettingsWord(value);
    return word < 0 ? defaultValue : (BOOL)word;
}
