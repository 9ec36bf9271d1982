/* A plug-in that counts the snapshots a host takes: each GetSourcesNum call is
 * counted and takes 300 ms (as a slow settings file might), and its one source,
 * a fan, carries the number of the snapshot it belongs to: the one the calling
 * thread started last, so snapshots taken side by side tell themselves apart. */
#include <windows.h>

#include "source_interface/kelvodyn.h"

static volatile LONG g_snapshots;
static DWORD g_snapshotOfThread = TLS_OUT_OF_INDEXES; /* a slot per thread */

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    (void)module;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        g_snapshotOfThread = TlsAlloc();
    }
    return g_snapshotOfThread != TLS_OUT_OF_INDEXES;
}

__declspec(dllexport) int32_t __cdecl GetSourcesNum(void) {
    TlsSetValue(g_snapshotOfThread, (LPVOID)(INT_PTR)InterlockedIncrement(&g_snapshots));
    Sleep(300);
    return 1;
}

__declspec(dllexport) int32_t __cdecl GetSourceDesc(uint32_t index, SourceDesc *desc) {
    if (index != 0 || desc == NULL) {
        return 0;
    }
    lstrcpyA(desc->name, "snapshots");
    lstrcpyA(desc->units, "RPM");
    desc->scaleMin = 0;
    desc->scaleMax = 7000;
    desc->scaleDivisions = 7;
    return lstrlenA(desc->name);
}

__declspec(dllexport) float __cdecl GetSourceData(uint32_t index) {
    return index == 0 ? (float)(INT_PTR)TlsGetValue(g_snapshotOfThread) : NO_READING;
}
