/* The module's entry routine, called by the loader; no runtime start-up code
 * runs before or around it. Attach never fails and never touches the block. */
#include <windows.h>

#include "../monitor_link/shared_block.h"
#include "module_state.h"
#include "settings.h"
#include "settings_file.h"

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        g_hInstance = hInstance;
        DisableThreadLibraryCalls(hInstance);
        /* Read once: a changed unit takes effect when the module is next loaded. */
        g_useFahrenheit = GetIniBool(SETTINGS_USE_FAHRENHEIT, FALSE) ? 1 : 0;
    } else if (reason == DLL_PROCESS_DETACH) {
        CloseSharedBlock();
    }
    return TRUE;
}
