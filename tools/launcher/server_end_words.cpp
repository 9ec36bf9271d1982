// A process ended by an unhandled exception exits with the exception's code,
// an NTSTATUS with its top bit set (severity warning or error: a breakpoint
// is 0x80000003); the server's own exit codes are small numbers, and its
// message came before them in the log.
#include "server_end_words.h"

#include <cstdio>

namespace {

const struct {
    uint32_t code;
    const char *name;
} kExceptions[] = {
    {0x80000003u, "breakpoint"},
    {0xC0000005u, "access violation"},
    {0xC000001Du, "illegal instruction"},
    {0xC0000094u, "integer division by zero"},
    {0xC00000FDu, "stack overflow"},
    {0xC0000374u, "heap corruption"},
    {0xC0000409u, "stack buffer overrun"},
    {0xC000013Au, "ended by Ctrl+C"},
    {0xC0000142u, "could not initialise (a DLL failed to load)"},
};

} // namespace

std::string ServerEndWords(uint32_t exitCode) {
    if ((exitCode & 0x80000000u) == 0) {
        return "ended with exit code " + std::to_string(exitCode);
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", unsigned(exitCode));
    for (const auto &exception : kExceptions) {
        if (exception.code == exitCode) {
            return std::string("crashed: exception ") + hex + " (" + exception.name + ")";
        }
    }
    return std::string("crashed: exception ") + hex;
}
