// Reads the block with its own code, as any other reader would: a read-only
// mapping handle and view, held only for the copy.
#include "block_copy.h"

#include <algorithm>
#include <cstring>

#include "monitor_link/monitor_liveness.h"

void CopyFromView(const void *view, BlockCopy &copy) {
    MEMORY_BASIC_INFORMATION region{};
    if (VirtualQuery(view, &region, sizeof region) != sizeof region) {
        copy.error = GetLastError();
        copy.access = BlockAccess::CannotOpen;
        return;
    }
    copy.access = BlockAccess::Copied;
    copy.viewBytes = region.RegionSize;
    std::memcpy(&copy.block, view, std::min<size_t>(region.RegionSize, sizeof copy.block));
    copy.windowExists = MonitorWindowExists(copy.block.hwnd);
}

BlockCopy CopySharedBlock() {
    BlockCopy copy;
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, SHARED_BLOCK_NAME);
    if (mapping == nullptr) {
        copy.error = GetLastError();
        copy.access =
            copy.error == ERROR_FILE_NOT_FOUND ? BlockAccess::NoSuchBlock : BlockAccess::CannotOpen;
        return copy;
    }
    const void *view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (view == nullptr) {
        copy.error = GetLastError();
        copy.access = BlockAccess::CannotOpen;
    } else {
        CopyFromView(view, copy);
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    if (copy.windowExists) {
        GetWindowThreadProcessId(WindowFromBlockField(copy.block.hwnd), &copy.windowProcess);
    }
    return copy;
}
