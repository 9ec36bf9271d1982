/* The whole host interface of KelvoDyn.dll: the three exports with their
 * calling convention, the function-pointer types a host resolves with
 * GetProcAddress, the descriptor record and the no-reading sentinel.
 * Shared by the plug-in, the host tool and the tests so the ABI is written once. */
#ifndef KELVODYN_H
#define KELVODYN_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Answer of GetSourceData when there is no value: the largest finite float. */
#define NO_READING 3.40282347e+38f
#define NO_READING_BITS 0x7F7FFFFFu

/* Filled by GetSourceDesc; owned by the host. Text is ANSI; the degree sign is 0xB0. */
typedef struct SourceDesc {
    char name[32];
    char units[32];
    float scaleMax;
    float scaleMin;
    float scaleDivisions;
} SourceDesc;

#define SOURCE_DESC_SIZE 76

#ifdef __cplusplus
static_assert(sizeof(SourceDesc) == SOURCE_DESC_SIZE, "SourceDesc layout");
#else
_Static_assert(sizeof(SourceDesc) == SOURCE_DESC_SIZE, "SourceDesc layout");
#endif

/* Exported by plain name (see the module's .def file); the caller pops the arguments. */
#define KD_CDECL __cdecl

int32_t KD_CDECL GetSourcesNum(void);
int32_t KD_CDECL GetSourceDesc(uint32_t index, SourceDesc *desc);
float KD_CDECL GetSourceData(uint32_t index);

typedef int32_t(KD_CDECL *GetSourcesNumFn)(void);
typedef int32_t(KD_CDECL *GetSourceDescFn)(uint32_t index, SourceDesc *desc);
typedef float(KD_CDECL *GetSourceDataFn)(uint32_t index);

#ifdef __cplusplus
}
#endif

#endif
