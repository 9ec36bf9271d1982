// Reads the block with its own code, as any other reader would: a read-only
// mapping handle and view, held only for the copy.
#include "block_copy.h"

#include <algorithm>
#include <cstring>

#include "monitor_link/monitor_liveness.h"

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
    MEMORY_BASIC_INFORMATION region{};
    if (view == nullptr || VirtualQuery(view, &region, sizeof region) != sizeof region) {
        copy.error = GetLastError();
        copy.access = BlockAccess::CannotOpen;
    } else {
        copy.access = BlockAccess::Copied;
        copy.viewBytes = region.RegionSize;
        std::memcpy(&copy.block, view, std::min<size_t>(region.RegionSize, sizeof copy.block));
    }
    if (view != nullptr) {
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    copy.windowExists = copy.access == BlockAccess::Copied && MonitorWindowExists(copy.block.hwnd);
    if (copy.windowExists) {
        GetWindowThreadProcessId(WindowFromBlockField(copy.block.hwnd), &copy.windowProcess);
    }
    return copy;
}
