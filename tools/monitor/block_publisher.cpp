// Publishes a monitor's readings, from whichever source, in the named shared block.
#include "block_publisher.h"

#include <atomic>

#include "error_words.h"
#include "exit_codes.h"
#include "monitor_link/monitor_liveness.h"

namespace {

// Held by the running monitor from before it touches the block until after it
// has let it go: of two monitors started together exactly one gets it, where
// looking at the block first and writing it then leaves a gap both slip into.
const char kInstanceMutexName[] = "KDMonitorInstance";

const char kAlreadyPublishing[] = "another monitor is already publishing \"" SHARED_BLOCK_NAME
                                  "\"; it goes on (stop it first with kdmonitor --stop)";

// kExitOk when this process now owns the instance mutex. A monitor that ended
// without letting go (killed) leaves it abandoned, which still counts as ours.
int TakeInstance(BlockPublisher &publisher, std::string &error) {
    publisher.instance = CreateMutexA(nullptr, FALSE, kInstanceMutexName);
    if (publisher.instance == nullptr) {
        error = "cannot make sure no other monitor runs: " + ErrorWords(GetLastError());
        return kExitNo;
    }
    const DWORD taken = WaitForSingleObject(publisher.instance, 0);
    if (taken == WAIT_OBJECT_0 || taken == WAIT_ABANDONED) {
        return kExitOk;
    }
    CloseHandle(publisher.instance);
    publisher.instance = nullptr;
    error = kAlreadyPublishing;
    return kExitAlreadyRunning;
}

void ReleaseInstance(BlockPublisher &publisher) {
    if (publisher.instance != nullptr) {
        ReleaseMutex(publisher.instance);
        CloseHandle(publisher.instance);
        publisher.instance = nullptr;
    }
}

// A plug-in reads the block while we write it, in this order: readings, then
// counts, then the live flag. Release ordering keeps it whatever the compiler
// inlines (x86 and x64 processors do not reorder stores among themselves).
void ReleaseFence() {
    std::atomic_thread_fence(std::memory_order_release);
}

void StoreFlags(SharedSensorBlock *block, uint8_t flags) {
    __atomic_store_n(&block->flags, flags, __ATOMIC_RELEASE);
}

void WriteGroup(int32_t *slots, const std::vector<int32_t> &values) {
    for (size_t i = 0; i < SENSOR_SLOTS; ++i) {
        slots[i] = i < values.size() ? values[i] : 0;
    }
}

} // namespace

int StartPublishing(const MonitorOptions &options, const Readings &first, BlockPublisher &publisher,
                    std::string &error) {
    if (const int taken = TakeInstance(publisher, error); taken != kExitOk) {
        return taken;
    }
    publisher.mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                           sizeof(SharedSensorBlock), SHARED_BLOCK_NAME);
    // A plug-in may still hold the block of a monitor that stopped: the name then
    // opens the same memory, which we take over unless its monitor is still live.
    bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    if (publisher.mapping == nullptr) {
        error = "cannot create the shared block \"" SHARED_BLOCK_NAME "\": " +
                ErrorWords(GetLastError());
        StopPublishing(publisher);
        return kExitNo;
    }
    publisher.block = static_cast<SharedSensorBlock *>(
        MapViewOfFile(publisher.mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedSensorBlock)));
    if (publisher.block == nullptr) {
        error = "cannot map the shared block: " + ErrorWords(GetLastError());
        StopPublishing(publisher);
        return kExitNo;
    }
    // A monitor that takes no instance mutex (an older one) may publish still:
    // its block is live by the plug-in's own rule.
    if (existed && BlockIsLive(publisher.block)) {
        error = kAlreadyPublishing;
        UnmapViewOfFile(publisher.block);
        publisher.block = nullptr;
        StopPublishing(publisher);
        return kExitAlreadyRunning;
    }
    publisher.window = CreateWindowExA(0, "STATIC", "kdmonitor", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                       nullptr, GetModuleHandleA(nullptr), nullptr);
    if (publisher.window == nullptr) {
        error = "cannot create the monitor window: " + ErrorWords(GetLastError());
        StopPublishing(publisher);
        return kExitNo;
    }
    SharedSensorBlock *block = publisher.block;
    StoreFlags(block, 0); // not live until everything else is in place
    block->version = options.layoutVersion;
    block->size = options.size.value_or(SHARED_BLOCK_MIN_SIZE);
    block->hwnd = BlockFieldFromWindow(publisher.window);
    PublishReadings(publisher, options, first.temps, first.fans);
    WriteGroup(block->extra, {});
    StoreFlags(block, options.live ? FLAG_PUBLISHING : 0);
    return kExitOk;
}

void PublishReadings(BlockPublisher &publisher, const MonitorOptions &options,
                     const std::vector<int32_t> &temps, const std::vector<int32_t> &fans) {
    SharedSensorBlock *block = publisher.block;
    WriteGroup(block->temps, temps);
    WriteGroup(block->fans, fans);
    ReleaseFence();
    block->numTemps = options.counts[0].value_or(uint16_t(temps.size()));
    block->numFans = options.counts[1].value_or(uint16_t(fans.size()));
    block->numExtra = options.counts[2].value_or(0);
}

void StopPublishing(BlockPublisher &publisher) {
    if (publisher.block != nullptr) {
        // A block that names another window is another monitor's now: leave it be.
        const bool ours = publisher.window != nullptr &&
                          publisher.block->hwnd == BlockFieldFromWindow(publisher.window);
        if (ours) {
            StoreFlags(publisher.block, 0);
        }
        UnmapViewOfFile(publisher.block);
        publisher.block = nullptr;
    }
    if (publisher.window != nullptr) {
        DestroyWindow(publisher.window);
        publisher.window = nullptr;
    }
    if (publisher.mapping != nullptr) {
        CloseHandle(publisher.mapping);
        publisher.mapping = nullptr;
    }
    ReleaseInstance(publisher);
}
