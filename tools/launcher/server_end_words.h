// How the server ended, in words for kdserve's log: its exit code, or the
// exception that ended it. Portable.
#pragma once

#include <cstdint>
#include <string>

// "ended with exit code 6"; "crashed: exception 0xC0000005 (access violation)".
std::string ServerEndWords(uint32_t exitCode);
