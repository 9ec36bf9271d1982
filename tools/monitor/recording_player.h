// Plays a recording snapshot by snapshot, each for the recorded time to the
// next, reading one snapshot ahead of the one published, and tells what a
// pass read differently from the one before it: a recording cut, overwritten,
// removed or replaced while it plays. Portable.
#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "replay_reader.h"

// The longest pause between two snapshots a replay keeps, in recorded time:
// kdhost --log's longest --interval (an hour). A longer one is no wait within
// one log session (a log appended to another day, a stamp of the year 9999)
// and is shortened to this.
constexpr int64_t kLongestPauseMs = 3600000;

// What a pass over the recording read, to tell the next pass from it: a file
// read again as it was reads the same.
struct PassRecord {
    size_t skipped = 0;
    std::vector<std::string> problems; // the first few, as RecordingFindings has them
    std::string cutShort;
    uint64_t bytes = 0; // read to the end, or to where it was cut short
};

PassRecord RecordOfPass(const RecordingFindings &findings, uint64_t bytes);

// What playing found that the pass before it had not: the recording changed.
struct PlayDamage {
    bool any = false;            // rows, a pass cut, a loop that could not go on
    size_t skipped = 0;          // rows skipped that the pass before had read
    size_t firstSkippedLine = 0; // of the first of them that is described; 0: none
    std::string stoppedShort;    // why the last pass ended early or could not begin; "" when not
};

class RecordingPlayer {
  public:
    // Opens the recording from its start: again at each loop, and once at the
    // end to see that it is still there. nullptr with the reason in why.
    using Open = std::function<std::unique_ptr<std::istream>(std::string &why)>;

    // checked: what the check before play read of the same file.
    RecordingPlayer(Open open, double speed, bool loop, PassRecord checked = PassRecord());

    // The next snapshot and how long it stands: the recorded time to the next
    // snapshot (a clock that went back counts as 0, a pause past
    // kLongestPauseMs as that), for the last the gap before it (one second when
    // there is only one), divided by speed. False at the end (with loop: when
    // the recording cannot be played again, Damage() saying why).
    bool Next(RecordedSnapshot &snapshot, int64_t &holdMs);

    // The recorded pause after the snapshot Next gave, when it was longer
    // than kLongestPauseMs and shortened; 0 when kept.
    int64_t ShortenedPauseMs() const {
        return shortenedMs_;
    }

    // Sentences on what changed, found since the last call, for the user:
    // each follows the file's name (" line 12: ...; row skipped ..." or
    // ": it was cut ...").
    std::vector<std::string> TakeNews();

    const PlayDamage &Damage() const {
        return damage_;
    }

    // Why the recording cannot be played from its start now; "" when it can.
    // Set when the constructor found nothing to play.
    const std::string &CannotStart() const {
        return cannotStart_;
    }

    size_t Played() const {
        return played_;
    }

  private:
    bool Restart();
    void NoteProblems();
    void EndPass();

    Open open_;
    double speed_;
    bool loop_;
    PassRecord before_; // the pass before this one (at first, the check's)
    std::unique_ptr<std::istream> stream_;
    std::unique_ptr<RecordingReader> reader_;
    std::optional<RecordedSnapshot> ahead_;
    std::optional<int64_t> previousMs_; // of the snapshot before, in this pass
    size_t played_ = 0;
    int64_t shortenedMs_ = 0;
    size_t noted_ = 0;      // problems of this pass looked at
    bool diverged_ = false; // this pass has read differently from the one before
    bool passEnded_ = false;
    PlayDamage damage_;
    std::vector<std::string> news_;
    size_t rowNews_ = 0; // rows described in news, of the whole play
    std::string cannotStart_;
};
