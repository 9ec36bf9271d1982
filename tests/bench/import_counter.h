// Counts the calls a loaded module makes to the platform: every entry of its
// import address table is pointed at a small thunk that counts the call and
// jumps on to the real function, whatever its arguments or calling convention.
// Unlike Wine's relay trace it sees functions with variable arguments too.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/pe_reader.h"

class ImportCounter {
  public:
    // Patches the table of the loaded module, whose file image describes.
    ImportCounter(HMODULE module, const PeImage &image);
    ~ImportCounter(); // puts the real addresses back
    ImportCounter(const ImportCounter &) = delete;
    ImportCounter &operator=(const ImportCounter &) = delete;

    void Reset();
    // Calls since the last Reset, by "DLL.function", only those made at all.
    std::map<std::string, long> Counts() const;

  private:
    struct Entry {
        std::string name;
        void **slot;
        void *original;
        volatile LONG calls;
    };
    std::unique_ptr<Entry[]> entries_; // fixed addresses: the thunks point into them
    size_t count_ = 0;
    BYTE *thunks_ = nullptr;
};
