/* The proof's host and loader: any sequence of DllMain (any reason) and the
 * three exports, with any index, against a record of exactly 76 bytes. */
#include "../../../src/source_interface/kelvodyn.h"
#include "../platform/choice.h"
#include "../platform/platform_calls.h"

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID reserved);

static uint32_t AnyIndex(void) {
    return (uint32_t)KdChoose(INT32_MIN, INT32_MAX);
}

static void HostCall(SourceDesc *desc) {
    switch (KdChoose(0, 3)) {
    case 0: {
        DWORD reason = (DWORD)KdChoose(INT32_MIN, INT32_MAX);
        KdViolation(DllMain(KdModuleHandle(), reason, NULL) == TRUE, "DllMain answers TRUE");
        if (reason == DLL_PROCESS_DETACH) {
            KdViolation(KdHeldMappings() == 0 && KdHeldViews() == 0, "detach releases all");
        }
        break;
    }
    case 1: {
        int32_t count = GetSourcesNum();
        KdViolation(count >= 0 && count <= 2 * 32, "count within the two groups");
        break;
    }
    case 2: {
        int32_t length = GetSourceDesc(AnyIndex(), desc);
        KdViolation(length >= 0 && length <= 31, "name length within the field");
        break;
    }
    default: {
        /* Its bounds are the fuzzer's to check: the analysis joins NO_READING
         * and the readings into one interval. */
        GetSourceData(AnyIndex());
        break;
    }
    }
}

int main(void) {
    SourceDesc desc;
    KdChooseBytes((char *)&desc, sizeof desc);
    while (KdChoose(0, 1)) {
        HostCall(&desc);
        g_kdAnswerLength = 0;
    }
    return 0;
}
