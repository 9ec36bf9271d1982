/* GetSourceDesc: how the host should present a source. The name comes from the
 * settings file at every call, so an edited name shows at the next call. */
#include "../module/module_state.h"
#include "../module/settings.h"
#include "../module/settings_file.h"
#include "../monitor_link/shared_block.h"
#include "kelvodyn.h"
#include "source_index.h"

#define TEMPERATURE_SCALE_MAX 150.0f
#define TEMPERATURE_DIVISIONS 6.0f
#define FAN_SCALE_MAX 7000.0f
#define FAN_DIVISIONS 7.0f

/* The degree sign is the single ANSI byte 0xB0. */
#define UNITS_CELSIUS                                                                              \
    "\xB0"                                                                                         \
    "C"
#define UNITS_FAHRENHEIT                                                                           \
    "\xB0"                                                                                         \
    "F"
#define UNITS_RPM "RPM"

int32_t KD_CDECL GetSourceDesc(uint32_t index, SourceDesc *desc) {
    /* A host bug must not crash the host's process through us. */
    if (desc == NULL) {
        return 0;
    }
    const SharedSensorBlock *block = GetSharedBlock();
    SourceRef ref;
    if (block == NULL || !ResolveSource(block, index, &ref)) {
        return 0;
    }
    char key[20];
    char defaultName[32];
    if (ref.group == SOURCE_TEMPERATURE) {
        wsprintfA(key, SETTINGS_TEMPERATURE_KEY, ref.number);
        wsprintfA(defaultName, SETTINGS_TEMPERATURE_NAME, ref.number);
        lstrcpyA(desc->units, g_useFahrenheit ? UNITS_FAHRENHEIT : UNITS_CELSIUS);
        desc->scaleMax = TEMPERATURE_SCALE_MAX;
        desc->scaleDivisions = TEMPERATURE_DIVISIONS;
    } else {
        wsprintfA(key, SETTINGS_FAN_KEY, ref.number);
        wsprintfA(defaultName, SETTINGS_FAN_NAME, ref.number);
        lstrcpyA(desc->units, UNITS_RPM);
        desc->scaleMax = FAN_SCALE_MAX;
        desc->scaleDivisions = FAN_DIVISIONS;
    }
    desc->scaleMin = 0.0f;
    /* Read into our own buffer first, so the host's record receives the name up
     * to its terminator and nothing after it, whatever the profile call writes. */
    char name[sizeof desc->name];
    uint32_t length = GetIniString(key, defaultName, name, sizeof name);
    lstrcpyA(desc->name, name);
    return (int32_t)length;
}
