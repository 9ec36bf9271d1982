// In-process monitor for host-level tests.
#include "fake_monitor.h"

#include <cstring>

#include "monitor_link/window_handle.h"

HWND CreateMessageWindow() {
    return CreateWindowExA(0, "STATIC", "fake monitor", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

FakeMonitor::FakeMonitor(uint32_t mappingBytes) {
    mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, mappingBytes,
                                  SHARED_BLOCK_NAME);
    if (mapping_ == nullptr || GetLastError() == ERROR_ALREADY_EXISTS) {
        return; // ok() stays false: a block of that name was left behind
    }
    view_ = static_cast<SharedSensorBlock *>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    window_ = CreateMessageWindow();
    if (view_ == nullptr || mappingBytes < sizeof(SharedSensorBlock)) {
        return;
    }
    view_->version = SHARED_BLOCK_VERSION;
    view_->size = SHARED_BLOCK_MIN_SIZE;
    view_->hwnd = BlockFieldFromWindow(window_);
    // A mark that makes this block's bytes unlike any other mapping's.
    view_->extra[30] = int32_t(GetTickCount() ^ 0x4B44u);
    view_->extra[31] = int32_t(GetCurrentProcessId() ^ UINT_PTR(this));
    view_->flags = FLAG_PUBLISHING;
}

FakeMonitor::~FakeMonitor() {
    if (view_ != nullptr) {
        UnmapViewOfFile(view_);
    }
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
    CloseOwnHandle();
}

void FakeMonitor::Publish(const std::vector<int32_t> &temps, const std::vector<int32_t> &fans) {
    for (size_t i = 0; i < temps.size() && i < SENSOR_SLOTS; ++i) {
        view_->temps[i] = temps[i];
    }
    for (size_t i = 0; i < fans.size() && i < SENSOR_SLOTS; ++i) {
        view_->fans[i] = fans[i];
    }
    view_->numTemps = uint16_t(temps.size());
    view_->numFans = uint16_t(fans.size());
}

void FakeMonitor::SetLive(bool live) {
    view_->flags = live ? FLAG_PUBLISHING : 0;
}

void FakeMonitor::DestroyWindowOnly() {
    DestroyWindow(window_);
    window_ = nullptr;
}

HWND FakeMonitor::ReplaceWindow() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
    window_ = CreateMessageWindow();
    view_->hwnd = BlockFieldFromWindow(window_);
    return window_;
}

void FakeMonitor::CloseOwnHandle() {
    if (mapping_ != nullptr) {
        CloseHandle(mapping_);
        mapping_ = nullptr;
    }
}

bool BlockNameOpens() {
    HANDLE handle = OpenFileMappingA(FILE_MAP_READ, FALSE, SHARED_BLOCK_NAME);
    if (handle == nullptr) {
        return false;
    }
    CloseHandle(handle);
    return true;
}

namespace {

// Calls visit(info) for the start of every committed mapped view in this process.
template <typename Visit> void ForEachMappedView(Visit visit) {
    const char *address = nullptr;
    MEMORY_BASIC_INFORMATION info;
    while (VirtualQuery(address, &info, sizeof info) == sizeof info) {
        if (info.Type == MEM_MAPPED && info.State == MEM_COMMIT &&
            info.BaseAddress == info.AllocationBase) {
            visit(info);
        }
        const char *next = static_cast<const char *>(info.BaseAddress) + info.RegionSize;
        if (next <= address) {
            break;
        }
        address = next;
    }
}

} // namespace

int CountOtherViewsOf(const void *view) {
    int count = 0;
    ForEachMappedView([&](const MEMORY_BASIC_INFORMATION &info) {
        if (info.BaseAddress != view && info.RegionSize >= sizeof(SharedSensorBlock) &&
            (info.Protect & (PAGE_READONLY | PAGE_READWRITE)) != 0 &&
            std::memcmp(info.BaseAddress, view, sizeof(SharedSensorBlock)) == 0) {
            ++count;
        }
    });
    return count;
}

int CountMappedViews() {
    int count = 0;
    ForEachMappedView([&](const MEMORY_BASIC_INFORMATION &) { ++count; });
    return count;
}
