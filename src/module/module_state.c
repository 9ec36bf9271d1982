/* Storage for the module-wide state. */
#include "module_state.h"

HINSTANCE g_hInstance;
BYTE g_useFahrenheit;
HANDLE g_hMapping;
const SharedSensorBlock *KD_VIEW_VOLATILE g_pBlock;
