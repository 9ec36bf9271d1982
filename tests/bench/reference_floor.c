/* kd_floor.dll, the benchmark's reference: exports of KelvoDyn.dll's names and
 * signatures that do only what every implementation must on a live block: be
 * called into a DLL, read the window from the block, call IsWindow once, and
 * return a float or an integer by the calling convention. What the plug-in
 * costs beyond these is its own work. */
#include <windows.h>

#include "monitor_link/block_fields.h"
#include "monitor_link/window_handle.h"
#include "source_interface/kelvodyn.h"

/* Opened at attach, so no call tests for it: the benchmark publishes the block
 * before it loads this DLL, and a missing block fails the load. */
static const SharedSensorBlock *g_block;
static HANDLE g_mapping;

/* The answers, each returned straight from memory: into the x87 register on
 * 32-bit Windows (one load, no SSE register on the way), into XMM0 on 64-bit. */
static volatile float g_reading = 900.0f;
static volatile float g_noReading = NO_READING;

static BOOL IsMonitorLive(void) {
    return IsWindow(WindowFromBlockField(BLOCK_U32(g_block, hwnd)));
}

int32_t KD_CDECL GetSourcesNum(void) {
    return IsMonitorLive();
}

float KD_CDECL GetSourceData(uint32_t index) {
    (void)index;
    if (!IsMonitorLive()) {
        return g_noReading;
    }
    return g_reading;
}

/* Not measured: a descriptor's floor is the profile call itself, timed bare.
 * Present so that the DLL loads as a host loads a plug-in; it describes nothing. */
int32_t KD_CDECL GetSourceDesc(uint32_t index, SourceDesc *desc) {
    (void)index;
    (void)desc;
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(hInstance);
        g_mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, SHARED_BLOCK_NAME);
        g_block = g_mapping ? MapViewOfFile(g_mapping, FILE_MAP_READ, 0, 0, 0) : NULL;
        if (g_block == NULL && g_mapping != NULL) {
            CloseHandle(g_mapping);
        }
        return g_block != NULL;
    }
    if (reason == DLL_PROCESS_DETACH && g_block != NULL) {
        UnmapViewOfFile(g_block);
        CloseHandle(g_mapping);
    }
    return TRUE;
}
