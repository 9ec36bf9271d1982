/* The plug-in under libFuzzer: its unchanged C sources built natively over the
 * platform layer of tests/verify, with the block, every platform call's answer,
 * the monitor's writes (at every platform call) and the host's calls drawn
 * from the input; every answer is checked against the host-facing rules. */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "windows.h"

#include "../../../src/monitor_link/shared_sensor_block.h"
#include "../../../src/source_interface/kelvodyn.h"
#include "choice.h"
#include "platform_calls.h"

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID reserved);

static const uint8_t *input;
static size_t inputLeft;
static unsigned monitorWrites;

static uint32_t TakeBytes(size_t count) {
    uint32_t value = 0;
    for (size_t i = 0; i < count && inputLeft > 0; ++i, --inputLeft) {
        value = value << 8 | *input++;
    }
    return value;
}

int KdChoose(int lo, int hi) {
    uint64_t range = (uint64_t)((int64_t)hi - lo) + 1;
    size_t bytes = range <= 0x100 ? 1 : range <= 0x10000 ? 2 : 4;
    return (int)((int64_t)lo + (int64_t)(TakeBytes(bytes) % range));
}

/* Paths and profile values hold no NUL of their own. */
void KdChooseBytes(char *out, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        char c = (char)TakeBytes(1);
        out[i] = c != '\0' ? c : 'x';
    }
}

void KdMonitorWrites(char *view, size_t viewBytes) {
    if ((TakeBytes(1) & 3) != 0) {
        return;
    }
    size_t at = (size_t)KdChoose(0, (int)viewBytes - 1);
    size_t count = (size_t)KdChoose(1, 8);
    for (size_t i = 0; i < count && at + i < viewBytes; ++i) {
        view[at + i] = (char)TakeBytes(1);
    }
    ++monitorWrites;
}

void KdViolation(int holds, const char *rule) {
    if (!holds) {
        fprintf(stderr, "fuzz_plugin: broken rule: %s\n", rule);
        abort();
    }
}

static uint32_t ViewU16(size_t offset) {
    return (uint8_t)g_kdView[offset] | (uint32_t)(uint8_t)g_kdView[offset + 1] << 8;
}
static int32_t ViewSlot(size_t offset, uint32_t slot) {
    size_t at = offset + slot * 4;
    return (int32_t)(ViewU16(at) | ViewU16(at + 2) << 16);
}
static uint32_t Clamped(size_t offset) {
    uint32_t count = ViewU16(offset);
    return count > SENSOR_SLOTS ? SENSOR_SLOTS : count;
}

/* A block that mostly passes validation, so the input reaches the readings. */
static void PublishBlock(void) {
    KdChooseBytes(g_kdView, sizeof g_kdView);
    uint16_t header[] = {(uint16_t)(KdChoose(0, 7) == 0 ? KdChoose(0, 3) : SHARED_BLOCK_VERSION)};
    memcpy(g_kdView + offsetof(SharedSensorBlock, version), header, 2);
    uint32_t size = KdChoose(0, 7) == 0 ? (uint32_t)KdChoose(0, 1000) : SHARED_BLOCK_MIN_SIZE;
    memcpy(g_kdView + offsetof(SharedSensorBlock, size), &size, 4);
    static const size_t counts[] = {offsetof(SharedSensorBlock, numTemps),
                                    offsetof(SharedSensorBlock, numFans),
                                    offsetof(SharedSensorBlock, numExtra)};
    for (size_t i = 0; i < 3; ++i) {
        uint16_t count = (uint16_t)KdChoose(0, 40);
        memcpy(g_kdView + counts[i], &count, 2);
    }
}

static float ExpectedReading(uint32_t index, BOOL fahrenheit) {
    uint32_t temps = Clamped(offsetof(SharedSensorBlock, numTemps));
    uint32_t fans = Clamped(offsetof(SharedSensorBlock, numFans));
    if (index >= temps + fans) {
        return NO_READING;
    }
    if (index < temps) {
        int32_t raw = ViewSlot(offsetof(SharedSensorBlock, temps), index);
        int32_t limit = fahrenheit ? 57200 : 30000;
        return raw >= -limit && raw <= limit ? (float)raw * 0.01f : NO_READING;
    }
    int32_t raw = ViewSlot(offsetof(SharedSensorBlock, fans), index - temps);
    return raw >= -15000 && raw <= 15000 ? (float)raw : NO_READING;
}

static uint32_t AnyIndex(void) {
    return KdChoose(0, 3) == 0 ? (uint32_t)KdChoose(INT32_MIN, INT32_MAX)
                               : (uint32_t)KdChoose(0, 70);
}

#define UNTOUCHED ((char)0xA5)

/* A written record: name and units terminated within their fields, nothing
 * after either terminator touched, the scale of a temperature or a fan. */
static void CheckRecord(const char *record, int32_t length) {
    const SourceDesc *desc = (const SourceDesc *)record;
    const char *nameEnd = memchr(desc->name, '\0', sizeof desc->name);
    const char *unitsEnd = memchr(desc->units, '\0', sizeof desc->units);
    KdViolation(nameEnd != NULL && nameEnd - desc->name == length, "name length is the answer");
    KdViolation(unitsEnd != NULL, "units terminated within the field");
    for (const char *p = nameEnd + 1; p < desc->name + sizeof desc->name; ++p) {
        KdViolation(*p == UNTOUCHED, "name: nothing written after its terminator");
    }
    for (const char *p = unitsEnd + 1; p < desc->units + sizeof desc->units; ++p) {
        KdViolation(*p == UNTOUCHED, "units: nothing written after the terminator");
    }
    BOOL fan = strcmp(desc->units, "RPM") == 0;
    KdViolation(fan ||
                    strcmp(desc->units, "\xB0"
                                        "C") == 0 ||
                    strcmp(desc->units, "\xB0"
                                        "F") == 0,
                "units are one of the three labels");
    KdViolation(desc->scaleMax == (fan ? 7000.0f : 150.0f) && desc->scaleMin == 0.0f &&
                    desc->scaleDivisions == (fan ? 7.0f : 6.0f),
                "the group's scale");
}

static void HostCall(void) {
    unsigned writesBefore = monitorWrites;
    switch (KdChoose(0, 7)) {
    case 0: {
        DWORD reason =
            KdChoose(0, 3) == 0 ? (DWORD)KdChoose(INT32_MIN, INT32_MAX) : (DWORD)KdChoose(0, 3);
        KdViolation(DllMain(KdModuleHandle(), reason, NULL) == TRUE, "DllMain answers TRUE");
        if (reason == DLL_PROCESS_DETACH) {
            KdViolation(KdHeldMappings() == 0 && KdHeldViews() == 0, "detach releases all");
        }
        break;
    }
    case 1:
    case 2: {
        int32_t count = GetSourcesNum();
        KdViolation(count >= 0 && count <= 2 * SENSOR_SLOTS, "count within the two groups");
        if (count != 0 && monitorWrites == writesBefore) {
            KdViolation((uint32_t)count == Clamped(offsetof(SharedSensorBlock, numTemps)) +
                                               Clamped(offsetof(SharedSensorBlock, numFans)),
                        "count is temperatures plus fans");
        }
        break;
    }
    case 3:
    case 4: {
        /* Exactly 76 bytes on the heap: one byte more written is a report. */
        char *record = malloc(SOURCE_DESC_SIZE);
        memset(record, UNTOUCHED, SOURCE_DESC_SIZE);
        int32_t length = GetSourceDesc(AnyIndex(), (SourceDesc *)record);
        KdViolation(length >= 0 && length <= 31, "name length within the field");
        BOOL touched = FALSE;
        for (size_t i = 0; i < SOURCE_DESC_SIZE; ++i) {
            touched |= record[i] != UNTOUCHED;
        }
        if (touched) {
            CheckRecord(record, length);
        }
        free(record);
        break;
    }
    default: {
        uint32_t index = AnyIndex();
        float value = GetSourceData(index);
        KdViolation(value == NO_READING || (value >= -15000.0f && value <= 15000.0f),
                    "a reading within its bound or NO_READING");
        if (value != NO_READING && monitorWrites == writesBefore) {
            BOOL same =
                value == ExpectedReading(index, FALSE) || value == ExpectedReading(index, TRUE);
            KdViolation(same, "the reading of the slot the index names");
        }
        break;
    }
    }
}

int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    input = data;
    inputLeft = size;
    PublishBlock();
    DllMain(KdModuleHandle(), DLL_PROCESS_ATTACH, NULL);
    while (inputLeft > 0) {
        HostCall();
    }
    DllMain(KdModuleHandle(), DLL_PROCESS_DETACH, NULL);
    KdViolation(KdHeldMappings() == 0 && KdHeldViews() == 0, "detach releases all");
    return 0;
}
