// What kdhost --serve answers a request from: the plug-in's readings, read
// afresh through its exports for every snapshot, and its descriptors, read
// again only when the block's counts, the plug-in's count or the settings
// file changed (descriptor_reuse.h); and the block's diagnosis, read in
// place while the block is live (held_block.h).
#pragma once

#include "block_diagnosis.h"
#include "descriptor_reuse.h"
#include "held_block.h"
#include "plugin_loader.h"
#include "served_snapshot.h"

class ServedStateSource {
  public:
    explicit ServedStateSource(const LoadedPlugin &plugin);
    ~ServedStateSource();
    ServedStateSource(const ServedStateSource &) = delete;
    ServedStateSource &operator=(const ServedStateSource &) = delete;

    // One snapshot and the block's diagnosis. Not for two threads at once:
    // SharedSnapshot takes one at a time.
    ServedState Take();

  private:
    bool TakeWithKept(ServedState &state);
    ServedState TakeAfresh(const FileStamp &settings);
    BlockCopy CopyBlock(Diagnosis &diagnosis);

    const LoadedPlugin &plugin_;
    const std::string settingsPath_;
    KeptDescriptors kept_;
    HeldBlock held_; // while the block is live
};
