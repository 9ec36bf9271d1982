/* Storage for the module-wide state. */
#include "module_state.h"

HINSTANCE g_hInstance;
BYTE g_useFahrenheit;
