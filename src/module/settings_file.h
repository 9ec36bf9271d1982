/* The settings file's rules, written once: its section, keys, name length and
 * yes/no words, and the one profile call that reads it. kdhost --check-settings
 * reads a file by these very rules. */
#ifndef SETTINGS_FILE_H
#define SETTINGS_FILE_H

#include <stdint.h>

#define SETTINGS_SECTION "kelvodyn"
#define SETTINGS_EXTENSION ".ini"
#define SETTINGS_USE_FAHRENHEIT "UseFahrenheit"
/* Formatted with the source's number, 1 to SENSOR_SLOTS in each group. */
#define SETTINGS_TEMPERATURE_KEY "Temperature%d"
#define SETTINGS_FAN_KEY "Fan%d"
#define SETTINGS_TEMPERATURE_NAME "KD temperature %d"
#define SETTINGS_FAN_NAME "KD fan speed %d"
/* A display name is cut to this many characters (the host's 32-byte field). */
#define SETTINGS_NAME_CHARS 31
/* Of a yes/no value only this many characters are read. */
#define SETTINGS_WORD_CHARS 9
/* The yes/no words, each list tried in this order, its first word the one a
 * writer uses; "da" and "net" are the Windows-1251 bytes of the Russian words. */
#define SETTINGS_TRUE_WORDS                                                                        \
    { "yes", "1", "true", "\xE4\xE0" }
#define SETTINGS_FALSE_WORDS                                                                       \
    { "no", "0", "false", "\xED\xE5\xF2" }

/* The value of key in the section of file, or defaultValue when the key, the
 * section or the file is missing, cut to outSize - 1 characters; returns the
 * characters stored. file must be a full path. */
uint32_t ReadSettingsFile(const char *file, const char *key, const char *defaultValue, char *out,
                          uint32_t outSize);

/* 1 for "yes", "1", "true", "da"; 0 for "no", "0", "false", "net" (any case;
 * the Russian words in Windows-1251); -1 for anything else. */
int SettingsWord(const char *value);

#endif
