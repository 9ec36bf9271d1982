/* The settings file: section "kelvodyn" of the .ini file beside the module,
 * located and opened anew by every read. UseFahrenheit is read once, at attach;
 * a name at every descriptor call, so an edited name shows at the next one. */
#ifndef SETTINGS_H
#define SETTINGS_H

#include <stdint.h>
#include <windows.h>

/* The value of key, or defaultValue when the key, the section or the file is
 * missing, cut to outSize - 1 characters; returns the characters stored. */
uint32_t GetIniString(const char *key, const char *defaultValue, char *out, uint32_t outSize);

/* True for "yes", "1", "true", "da"; false for "no", "0", "false", "net"
 * (any case; the Russian words in Windows-1251); anything else: defaultValue. */
BOOL GetIniBool(const char *key, BOOL defaultValue);

#endif
