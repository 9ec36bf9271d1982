/* The Windows calls the plug-in makes, answered from choices (choice.h). Each
 * answer is one the real call may give by its contract in windows.h, and each
 * call checks the rules the module must keep when it calls it. */
#include "platform_calls.h"

#include <stdarg.h>

#include "choice.h"

char g_kdView[KD_VIEW_BYTES];
int g_kdAnswerLength;

static char mappingObject;
static int heldMappings;
static int heldViews;
static struct KdModule { char unused; } module;

HINSTANCE KdModuleHandle(void) {
    return &module;
}
int KdHeldMappings(void) {
    return heldMappings;
}
int KdHeldViews(void) {
    return heldViews;
}

/* Every string argument must be terminated within its object. */
static size_t TerminatedLength(const char *s) {
    size_t n = 0;
    /*@ loop unroll 1100; */
    while (s[n] != '\0') {
        ++n;
    }
    return n;
}

/* The settings path, which the deductive proof shows terminated within its
 * buffer (ReadSettingsFile's contract, at its call in GetIniString): the value
 * analysis loses the relation between the path's length and its last dot, so
 * it leaves this string to WP. Built natively, the fuzzer still walks it. */
static void ProvedTerminated(const char *s) {
#ifdef __FRAMAC__
    (void)s;
#else
    TerminatedLength(s);
#endif
}

static void MonitorWrites(void) {
    KdMonitorWrites(g_kdView, sizeof g_kdView);
}

HANDLE OpenFileMappingA(DWORD access, BOOL inherit, const char *name) {
    KdViolation(access == FILE_MAP_READ && inherit == FALSE, "OpenFileMappingA: read-only");
    TerminatedLength(name);
    MonitorWrites();
    if (KdChoose(0, 1) == 0) {
        return NULL;
    }
    KdViolation(heldMappings == 0, "OpenFileMappingA: a second handle while one is held");
    heldMappings = 1;
    return &mappingObject;
}

LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow,
                     size_t bytes) {
    KdViolation(access == FILE_MAP_READ && offsetHigh == 0 && offsetLow == 0 && bytes == 0,
                "MapViewOfFile: the whole object, read-only");
    MonitorWrites();
    if (mapping != &mappingObject || heldMappings == 0 || KdChoose(0, 1) == 0) {
        return NULL;
    }
    KdViolation(heldViews == 0, "MapViewOfFile: a second view while one is held");
    heldViews = 1;
    return g_kdView;
}

BOOL UnmapViewOfFile(const void *view) {
    KdViolation(view == g_kdView && heldViews == 1, "UnmapViewOfFile: a view not held");
    heldViews = 0;
    return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
    KdViolation(handle == &mappingObject && heldMappings == 1, "CloseHandle: a handle not held");
    heldMappings = 0;
    return TRUE;
}

BOOL IsWindow(HWND window) {
    (void)window;
    MonitorWrites();
    return KdChoose(0, 1);
}

BOOL DisableThreadLibraryCalls(HINSTANCE handle) {
    KdViolation(handle == &module, "DisableThreadLibraryCalls: not the module's handle");
    return TRUE;
}

DWORD GetModuleFileNameA(HINSTANCE handle, char *buffer, DWORD size) {
    /* NULL names the host's own file, also a path: either is fine. */
    (void)handle;
    MonitorWrites();
    int length = KdChoose(0, (int)size);
    g_kdAnswerLength = length;
    KdChooseBytes(buffer, (size_t)length);
    if ((DWORD)length < size) {
        buffer[length] = '\0';
    } else if (KdChoose(0, 1)) {
        /* Newer systems terminate a cut path; older ones leave it unterminated. */
        buffer[size - 1] = '\0';
    }
    return (DWORD)length;
}

DWORD GetPrivateProfileStringA(const char *section, const char *key, const char *def, char *out,
                               DWORD size, const char *file) {
    TerminatedLength(section);
    TerminatedLength(key);
    ProvedTerminated(file);
    size_t defLength = TerminatedLength(def);
    KdViolation(size > 0, "GetPrivateProfileStringA: no room for the terminator");
    MonitorWrites();
    /* The length is published before the bytes are written, so the proof
     * writes each terminator into a state of its own length: a state that
     * joined two lengths would hold bytes never written before one of them. */
    size_t length;
    if (KdChoose(0, 1)) {
        /* No such key: the default, cut to fit. */
        length = defLength < size - 1 ? defLength : size - 1;
        g_kdAnswerLength = (int)length;
        for (size_t i = 0; i < length; ++i) {
            out[i] = def[i];
        }
    } else {
        length = (size_t)KdChoose(0, (int)size - 1);
        g_kdAnswerLength = (int)length;
        KdChooseBytes(out, length);
    }
    out[length] = '\0';
    return (DWORD)length;
}

char *lstrcpyA(char *dst, const char *src) {
    size_t i = 0;
    /*@ loop unroll 1100; */
    do {
        dst[i] = src[i];
    } while (src[i++] != '\0');
    return dst;
}

char *lstrcatA(char *dst, const char *src) {
    lstrcpyA(dst + TerminatedLength(dst), src);
    return dst;
}

char *lstrcpynA(char *dst, const char *src, int n) {
    KdViolation(n > 0, "lstrcpynA: no room for the terminator");
    /* The length first, published before any byte is written (see above). */
    int length = 0;
    /*@ loop unroll 1100; */
    while (length < n - 1 && src[length] != '\0') {
        ++length;
    }
    g_kdAnswerLength = length;
    /*@ loop unroll 1100; */
    for (int i = 0; i < length; ++i) {
        dst[i] = src[i];
    }
    dst[length] = '\0';
    return dst;
}

int lstrlenA(const char *s) {
    return (int)TerminatedLength(s);
}

static int FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : (unsigned char)c;
}

int lstrcmpiA(const char *a, const char *b) {
    size_t i = 0;
    /*@ loop unroll 1100; */
    while (a[i] != '\0' && b[i] != '\0' && FoldCase(a[i]) == FoldCase(b[i])) {
        ++i;
    }
    return FoldCase(a[i]) - FoldCase(b[i]);
}

/* The module formats only decimal numbers; any other conversion is a finding. */
int wsprintfA(char *out, const char *format, ...) {
    va_list args;
    va_start(args, format);
    int n = 0;
    /*@ loop unroll 1100; */
    for (size_t i = 0; format[i] != '\0'; ++i) {
        if (format[i] != '%') {
            out[n++] = format[i];
            continue;
        }
        ++i;
        KdViolation(format[i] == 'd', "wsprintfA: a conversion other than %d");
        int value = va_arg(args, int);
        unsigned magnitude = value < 0 ? 0u - (unsigned)value : (unsigned)value;
        if (value < 0) {
            out[n++] = '-';
        }
        char digits[10];
        int count = 0;
        do {
            digits[count++] = (char)('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        while (count > 0) {
            out[n++] = digits[--count];
        }
    }
    va_end(args);
    out[n] = '\0';
    KdViolation(n < 1024, "wsprintfA: past the platform's 1024 bytes");
    g_kdAnswerLength = n;
    return n;
}
