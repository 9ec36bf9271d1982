/* The settings file's yes/no words and its profile call, shared by the plug-in
 * and the tools that check a settings file. */
#include "settings_file.h"

#include <windows.h>

/* The value is terminated within out, whatever the file holds. */
/*@ requires valid_read_string(file) && valid_read_string(key);
    requires valid_read_string(defaultValue);
    requires 0 < outSize <= 2147483647 && \valid(out + (0 .. outSize - 1));
    assigns out[0 .. outSize - 1];
    ensures \result < outSize && out[\result] == '\0';
 */
uint32_t ReadSettingsFile(const char *file, const char *key, const char *defaultValue, char *out,
                          uint32_t outSize) {
    return GetPrivateProfileStringA(SETTINGS_SECTION, key, defaultValue, out, outSize, file);
}

static const char *const TRUE_WORDS[] = SETTINGS_TRUE_WORDS;
static const char *const FALSE_WORDS[] = SETTINGS_FALSE_WORDS;
#define WORD_COUNT (sizeof TRUE_WORDS / sizeof TRUE_WORDS[0])

int SettingsWord(const char *value) {
    for (unsigned i = 0; i < WORD_COUNT; ++i) {
        if (lstrcmpiA(value, TRUE_WORDS[i]) == 0) {
            return 1;
        }
    }
    for (unsigned i = 0; i < WORD_COUNT; ++i) {
        if (lstrcmpiA(value, FALSE_WORDS[i]) == 0) {
            return 0;
        }
    }
    return -1;
}
