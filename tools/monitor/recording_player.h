// Plays a recording snapshot by snapshot, each for the recorded time to the
// next, reading one snapshot ahead of the one published. Portable.
#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <optional>

#include "replay_reader.h"

class RecordingPlayer {
  public:
    // Opens the recording from its start: again at each loop.
    using Open = std::function<std::unique_ptr<std::istream>()>;

    RecordingPlayer(Open open, double speed, bool loop);

    // The next snapshot and how long it stands: the recorded time to the next
    // snapshot (a clock that went back counts as 0), for the last the gap
    // before it (one second when there is only one), divided by speed. False
    // at the end (with loop: when the recording holds nothing any more).
    bool Next(RecordedSnapshot &snapshot, int64_t &holdMs);

    // What reading the current pass has found.
    const RecordingFindings &Findings() const {
        return reader_->Findings();
    }

    size_t Played() const {
        return played_;
    }

  private:
    bool Restart();

    Open open_;
    double speed_;
    bool loop_;
    std::unique_ptr<std::istream> stream_;
    std::unique_ptr<RecordingReader> reader_;
    std::optional<RecordedSnapshot> ahead_;
    std::optional<int64_t> previousMs_; // of the snapshot before, in this pass
    size_t played_ = 0;
};
