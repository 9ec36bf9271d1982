// An in-process stand-in for the monitor: a real named mapping and a real
// message-only window, with the block's fields written directly by the test.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "monitor_link/shared_sensor_block.h"

HWND CreateMessageWindow();

class FakeMonitor {
  public:
    // A live, valid block with no readings, in a mapping of mappingBytes bytes.
    explicit FakeMonitor(uint32_t mappingBytes = sizeof(SharedSensorBlock));
    ~FakeMonitor();
    FakeMonitor(const FakeMonitor &) = delete;
    FakeMonitor &operator=(const FakeMonitor &) = delete;

    bool ok() const {
        return view_ != nullptr;
    }
    SharedSensorBlock &block() {
        return *view_;
    }
    const void *view() const {
        return view_;
    }
    HWND window() const {
        return window_;
    }

    // Fills the slots and sets the counts to the list lengths.
    void Publish(const std::vector<int32_t> &temps, const std::vector<int32_t> &fans);
    void SetLive(bool live);
    void DestroyWindowOnly();
    HWND ReplaceWindow(); // a new window, published in hwnd
    // Drops the monitor's own handle; the view stays mapped, and the name then
    // lives on only while the plug-in holds a handle of its own.
    void CloseOwnHandle();

  private:
    HANDLE mapping_ = nullptr;
    SharedSensorBlock *view_ = nullptr;
    HWND window_ = nullptr;
};

// Whether "KDSharedMemory_RUD" can be opened now by anyone.
bool BlockNameOpens();

// Mapped views in this process whose first bytes equal the given view's,
// not counting that view itself: the plug-in's views of the same block.
int CountOtherViewsOf(const void *view);

// Every mapped view in this process, of any object: a leak shows as growth.
int CountMappedViews();
