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

void Diagnose(const BlockCopy &copy, ServedState &state) {
    const Diagnosis diagnosis = DiagnoseBlock(copy);
    state.finding = diagnosis.finding;
    state.findingSentence = diagnosis.sentence;
}

} // namespace

ServedStateSource::ServedStateSource(const LoadedPlugin &plugin)
    : plugin_(plugin), settingsPath_(SettingsFileOf(plugin.module)) {}

ServedStateSource::~ServedStateSource() {
    ReleaseHeldBlock(held_);
}

// While the plug-in gives sources it holds the block itself, so holding it
// too shows no one anything new. Otherwise it is let go first: a block that
// no one else holds is then seen gone.
BlockCopy ServedStateSource::CopyBlock(int32_t reported) {
    if (reported > 0) {
        return CopyHeldBlock(held_);
    }
    ReleaseHeldBlock(held_);
    return CopySharedBlock();
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
    lastReported_ = state.snapshot.reported;
    if (kept_.key.reported != state.snapshot.reported) {
        return false;
    }
    state.snapshot.sources = kept_.sources;
    for (SourceReading &source : state.snapshot.sources) {
        source.value = plugin_.sourceData(source.index);
    }
    const BlockCopy after = CopyBlock(state.snapshot.reported);
    const bool counted = after.access == BlockAccess::Copied &&
                         CountsFit(kept_, state.snapshot.reported, after.block.numTemps,
                                   after.block.numFans);
    if (!state.snapshot.sources.empty() && !counted) {
        kept_.kept = false; // the monitor changed under them: read everything again
        return false;
    }
    Diagnose(after, state);
    return true;
}

ServedState ServedStateSource::TakeAfresh(const FileStamp &settings) {
    kept_.kept = false;
    ServedState state;
    // The count of the snapshot before: the one being taken is not known yet.
    const BlockCopy before = CopyBlock(lastReported_);
    const uint64_t readAtMs = GetTickCount64();
    state.snapshot = TakeSnapshot(plugin_);
    lastReported_ = state.snapshot.reported;
    const BlockCopy after = CopyBlock(state.snapshot.reported);
    Diagnose(after, state);
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
