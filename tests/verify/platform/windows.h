/* The Windows calls the plug-in makes, for building its unchanged sources off
 * Windows: under the analyser (the proof) and natively (the fuzzer). Each call
 * carries the contract the module relies on, written from its documentation;
 * platform_calls.c implements them from a source of choices. The contracts are
 * what the deductive proof (KD_WP) assumes; the value analysis runs the bodies. */
#ifndef KD_PLATFORM_WINDOWS_H
#define KD_PLATFORM_WINDOWS_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>

typedef int BOOL;
typedef unsigned char BYTE;
typedef uint32_t DWORD;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef void *LPVOID;
typedef void *HANDLE;
typedef struct KdModule *HINSTANCE;
typedef struct KdWindow *HWND;

#define TRUE 1
#define FALSE 0
#define WINAPI
#define __cdecl
#define FILE_MAP_READ 4u
#define DLL_PROCESS_DETACH 0u
#define DLL_PROCESS_ATTACH 1u

/* The named mapping, or NULL when no such object exists. */
HANDLE OpenFileMappingA(DWORD access, BOOL inherit, const char *name);
/* A view of the whole object, or NULL (always NULL for a NULL handle). */
LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, size_t bytes);
BOOL UnmapViewOfFile(const void *view);
BOOL CloseHandle(HANDLE handle);
BOOL IsWindow(HWND window);
BOOL DisableThreadLibraryCalls(HINSTANCE module);

/* The module's path and its length; 0 on failure. A path that does not fit
 * gives size, and the buffer may then hold no terminator. */
#ifdef KD_WP
/*@ requires size > 0 && \valid(buffer + (0 .. size - 1));
    assigns buffer[0 .. size - 1], \result;
    ensures \result <= size;
    ensures \result < size ==> buffer[\result] == '\0';
 */
#endif
DWORD GetModuleFileNameA(HINSTANCE module, char *buffer, DWORD size);

/* The key's value, or def when the key, the section or the file is missing;
 * cut to size - 1 characters and terminated; the characters stored. */
#ifdef KD_WP
/*@ requires valid_read_string(section) && valid_read_string(key);
    requires valid_read_string(def) && valid_read_string(file);
    requires size > 0 && \valid(out + (0 .. size - 1));
    assigns out[0 .. size - 1], \result;
    ensures \result < size && out[\result] == '\0';
 */
#endif
DWORD GetPrivateProfileStringA(const char *section, const char *key, const char *def, char *out,
                               DWORD size, const char *file);

/* Copies src with its terminator into dst. */
#ifdef KD_WP
/*@ requires valid_read_string(src) && \valid(dst + (0 .. strlen(src)));
    requires \separated(dst + (0 .. strlen(src)), src + (0 .. strlen(src)));
    assigns dst[0 .. strlen(src)], \result;
    ensures dst[\old(strlen(src))] == '\0';
 */
#endif
char *lstrcpyA(char *dst, const char *src);

/* Appends src with its terminator to the string in dst. */
#ifdef KD_WP
/*@ requires valid_string(dst) && valid_read_string(src);
    requires \valid(dst + (0 .. strlen(dst) + strlen(src)));
    requires \separated(dst + (0 .. strlen(dst) + strlen(src)), src + (0 .. strlen(src)));
    assigns dst[strlen(dst) .. strlen(dst) + strlen(src)], \result;
    ensures dst[\old(strlen(dst) + strlen(src))] == '\0';
 */
#endif
char *lstrcatA(char *dst, const char *src);

/* At most n - 1 characters of src, always terminated. */
#ifdef KD_WP
/*@ requires n > 0 && valid_read_string(src) && \valid(dst + (0 .. n - 1));
    assigns dst[0 .. n - 1], \result;
    ensures \exists integer i; 0 <= i < n && dst[i] == '\0';
 */
#endif
char *lstrcpynA(char *dst, const char *src, int n);

#ifdef KD_WP
/*@ requires valid_read_string(s);
    assigns \result \from s[0 ..];
    ensures \result == strlen(s);
 */
#endif
int lstrlenA(const char *s);

int lstrcmpiA(const char *a, const char *b);
/* Formats into out, which the platform caps at 1024 bytes; the characters stored. */
int wsprintfA(char *out, const char *format, ...);

#endif
