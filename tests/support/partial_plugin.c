/* A plug-in without GetSourceDesc, as an older or broken build looks to a host:
 * kdhost must refuse it and name the export that is missing. */
#include <stdint.h>

__declspec(dllexport) int32_t __cdecl GetSourcesNum(void) {
    return 0;
}

__declspec(dllexport) float __cdecl GetSourceData(uint32_t index) {
    (void)index;
    return 3.40282347e+38f;
}
