// What kdhost --serve answers a request from: the plug-in's readings, read
// afresh through its exports for every snapshot, and its descriptors, read
// again only when the block's counts, the plug-in's count or the settings
// file changed (descriptor_reuse.h).
#pragma once

#include "descriptor_reuse.h"
#include "plugin_loader.h"
#include "shared_snapshot.h"

class ServedStateSource {
  public:
    explicit ServedStateSource(const LoadedPlugin &plugin);

    // One snapshot and the block's diagnosis. Not for two threads at once:
    // SharedSnapshot takes one at a time.
    ServedState Take();

  private:
    bool TakeWithKept(ServedState &state);
    ServedState TakeAfresh(const FileStamp &settings);

    const LoadedPlugin &plugin_;
    const std::string settingsPath_;
    KeptDescriptors kept_;
};
