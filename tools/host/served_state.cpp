// A snapshot with kept descriptors is only accepted when the block's counts
// read after its values are the ones the descriptors were read under; the
// descriptors read afresh are only kept when the counts were the same before
// and after, so a monitor that changes its counts mid-snapshot never leaves
// names on the wrong sources beyond that one snapshot.
#include "served_state.h"

#include "block_diagnosis.h"

namespace {

// The block's counts as the copy shows them; a block not copied has none.
bool SameCounts(const BlockCopy &a, const BlockCopy &b) {
    return a.access == BlockAccess::Copied && b.access == BlockAccess::Copied &&
           a.block.numTemps == b.block.numTemps && a.block.numFans == b.block.numFans;
}

void Record(const Diagnosis &diagnosis, ServedState &state) {
    state.finding = diagnosis.finding;
    state.findingSentence = diagnosis.sentence;
}

} // namespace

ServedStateSource::ServedStateSource(const LoadedPlugin &plugin)
    : plugin_(plugin), settingsPath_(SettingsFileOf(plugin.module)) {}

ServedStateSource::~ServedStateSource() {
    ReleaseHeldBlock(held_);
}

// While the block is live a monitor publishes it (and the plug-in, having
// found it live, holds it too), so holding it as well shows no one anything
// new, and the next copy reads it in place. Once it is not live, it is let go
// and copied afresh: a block that no one else holds is then seen gone, as it
// would be without this reader.
BlockCopy ServedStateSource::CopyBlock(Diagnosis &diagnosis) {
    if (held_.view != nullptr) {
        BlockCopy copy = CopyHeldBlock(held_);
        diagnosis = DiagnoseBlock(copy);
        if (diagnosis.finding == Finding::Live) {
            return copy;
        }
        ReleaseHeldBlock(held_);
    }
    BlockCopy copy = CopySharedBlock();
    diagnosis = DiagnoseBlock(copy);
    if (diagnosis.finding == Finding::Live) {
        HoldBlock(held_);
    }
    return copy;
}

ServedState ServedStateSource::Take() {
    const FileStamp settings = StampOfFile(settingsPath_);
    ServedState state;
    if (MayReuse(kept_, settings, GetTickCount64()) && TakeWithKept(state)) {
        return state;
    }
    return TakeAfresh(settings);
}

bool ServedStateSource::TakeWithKept(ServedState &state) {
    state.snapshot.time = LocalTimestamp();
    state.snapshot.reported = plugin_.sourcesNum();
    if (kept_.key.reported != state.snapshot.reported) {
        return false;
    }
    state.snapshot.sources = kept_.sources;
    for (SourceReading &source : state.snapshot.sources) {
        source.value = plugin_.sourceData(source.index);
    }
    Diagnosis diagnosis;
    const BlockCopy after = CopyBlock(diagnosis);
    const bool counted = after.access == BlockAccess::Copied &&
                         CountsFit(kept_, state.snapshot.reported, after.block.numTemps,
                                   after.block.numFans);
    if (!state.snapshot.sources.empty() && !counted) {
        kept_.kept = false; // the monitor changed under them: read everything again
        return false;
    }
    Record(diagnosis, state);
    return true;
}

ServedState ServedStateSource::TakeAfresh(const FileStamp &settings) {
    kept_.kept = false;
    ServedState state;
    Diagnosis diagnosis;
    const BlockCopy before = CopyBlock(diagnosis);
    const uint64_t readAtMs = GetTickCount64();
    state.snapshot = TakeSnapshot(plugin_);
    const BlockCopy after = CopyBlock(diagnosis);
    Record(diagnosis, state);
    // No sources need no counts to be named by.
    bool whole = state.snapshot.sources.empty() || SameCounts(before, after);
    for (const SourceReading &source : state.snapshot.sources) {
        whole = whole && source.described;
    }
    if (whole) {
        kept_.kept = true;
        kept_.key = {state.snapshot.reported, after.block.numTemps, after.block.numFans, settings};
        kept_.readAtMs = readAtMs;
        kept_.sources = state.snapshot.sources;
        for (SourceReading &source : kept_.sources) {
            source.value = NO_READING;
        }
    }
    return state;
}
