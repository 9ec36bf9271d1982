/* The module's entry routine, called by the loader; no runtime start-up code
 * runs before or around it. Attach never fails and never touches the block. */
#include <windows.h>

#include "../monitor_link/shared_block.h"
#include "module_state.h"

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        g_hInstance = hInstance;
        DisableThreadLibraryCalls(hInstance);
    } else if (reason == DLL_PROCESS_DETACH) {
        CloseSharedBlock();
    }
    return TRUE;
}
