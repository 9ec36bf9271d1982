// Each import's slot is pointed at a counting thunk of its own.
#include "import_counter.h"

#include "import_thunk.h"

namespace {

void WriteSlot(void **slot, void *value) {
    DWORD old;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, old, &old);
}

} // namespace

ImportCounter::ImportCounter(HMODULE module, const PeImage &image) {
    for (const PeImport &dll : image.imports) {
        count_ += dll.functions.size();
    }
    entries_.reset(new Entry[count_]);
    thunks_ = static_cast<BYTE *>(VirtualAlloc(nullptr, count_ * kThunkBytes,
                                               MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
    size_t i = 0;
    for (const PeImport &dll : image.imports) {
        auto slot =
            reinterpret_cast<void **>(reinterpret_cast<BYTE *>(module) + dll.addressTableRva);
        for (const std::string &function : dll.functions) {
            Entry &entry = entries_[i];
            entry.name = dll.dll.substr(0, dll.dll.find('.')) + "." + function;
            entry.slot = slot++;
            entry.original = *entry.slot;
            entry.calls = 0;
            WriteCountingThunk(thunks_ + i * kThunkBytes, &entry.calls, &entry.original);
            ++i;
        }
    }
    FlushInstructionCache(GetCurrentProcess(), thunks_, count_ * kThunkBytes);
    for (size_t i = 0; i < count_; ++i) {
        WriteSlot(entries_[i].slot, thunks_ + i * kThunkBytes);
    }
}

ImportCounter::~ImportCounter() {
    for (size_t i = 0; i < count_; ++i) {
        WriteSlot(entries_[i].slot, entries_[i].original);
    }
    VirtualFree(thunks_, 0, MEM_RELEASE);
}

void ImportCounter::Reset() {
    for (size_t i = 0; i < count_; ++i) {
        entries_[i].calls = 0;
    }
}

std::map<std::string, long> ImportCounter::Counts() const {
    std::map<std::string, long> counts;
    for (size_t i = 0; i < count_; ++i) {
        if (entries_[i].calls != 0) {
            counts[entries_[i].name] = entries_[i].calls;
        }
    }
    return counts;
}
