// The holds of a replay, and its loop, over a reader that reads each snapshot
// once; each pass is held against the one before it, so a file that changed
// under the replay is told, not played as if whole.
#include "recording_player.h"

#include <algorithm>
#include <cmath>

PassRecord RecordOfPass(const RecordingFindings &findings, uint64_t bytes) {
    return {findings.skipped, findings.problems, findings.cutShort, bytes};
}

RecordingPlayer::RecordingPlayer(Open open, double speed, bool loop, PassRecord checked)
    : open_(std::move(open)), speed_(speed), loop_(loop), before_(std::move(checked)) {
    if (!Restart()) {
        cannotStart_ = damage_.stoppedShort;
        damage_ = PlayDamage();
    }
}

// A new pass from the file's start; false with the reason in the damage when
// there is nothing to play.
bool RecordingPlayer::Restart() {
    std::string why;
    reader_.reset();
    stream_.reset(); // a file removed while open goes only once no one holds it
    stream_ = open_(why);
    previousMs_.reset();
    ahead_.reset();
    noted_ = 0, diverged_ = false, passEnded_ = false;
    if (!stream_) {
        damage_.any = true;
        damage_.stoppedShort = "it cannot be opened any more: " + why;
        return false;
    }
    reader_ = std::make_unique<RecordingReader>(*stream_);
    std::string error;
    if (!reader_->ReadHeader(error)) {
        damage_.any = true;
        damage_.stoppedShort =
            error.replace(0, error.find(':'), "it is no kdhost --log recording any more");
        return false;
    }
    RecordedSnapshot first;
    const bool any = reader_->Next(first);
    NoteProblems();
    if (!any) {
        damage_.any = true;
        damage_.stoppedShort = "it holds no usable row any more";
        return false;
    }
    ahead_ = std::move(first);
    return true;
}

// The rows this pass skipped that the pass before read: the file changed.
// While both skip the same rows in the same order, nothing is new.
void RecordingPlayer::NoteProblems() {
    const RecordingFindings &f = reader_->Findings();
    for (; noted_ < f.skipped; ++noted_) {
        const bool described = noted_ < f.problems.size();
        const bool same = !diverged_ && noted_ < before_.skipped &&
                          (!described || noted_ >= before_.problems.size() ||
                           f.problems[noted_] == before_.problems[noted_]);
        if (same) {
            continue;
        }
        diverged_ = true, damage_.any = true;
        ++damage_.skipped;
        if (described && damage_.firstSkippedLine == 0) {
            damage_.firstSkippedLine = f.problemLines[noted_];
        }
        if (described && rowNews_ < kProblemsKept) {
            ++rowNews_;
            news_.push_back(" " + f.problems[noted_] +
                            "; row skipped (the recording changed while it played)");
        }
    }
}

// At the end of what this pass can read: whether it read less than the pass
// before, and whether the file is still there to be read again.
void RecordingPlayer::EndPass() {
    passEnded_ = true;
    const RecordingFindings &f = reader_->Findings();
    const uint64_t bytes = reader_->BytesRead();
    std::string why;
    if (!f.cutShort.empty() && f.cutShort != before_.cutShort) {
        why = "it changed while it played: " + f.cutShort;
    } else if (f.cutShort.empty() && bytes < before_.bytes) {
        why = "it was cut while it played: it ends after " + std::to_string(bytes) +
              " bytes now, where " + std::to_string(before_.bytes) + " were read before";
    } else if (!diverged_ && f.skipped != before_.skipped) {
        why = "it changed while it played: " + std::to_string(f.skipped) +
              " rows could not be read this time, " + std::to_string(before_.skipped) + " before";
    }
    before_ = RecordOfPass(f, bytes);
    reader_.reset(); // the pass is read: the file is let go before it is looked for
    stream_.reset();
    std::string openWhy;
    if (why.empty() && !loop_ && !open_(openWhy)) {
        why = "it was removed while it played: it cannot be opened now (" + openWhy + ")";
    }
    damage_.stoppedShort = why;
    if (!why.empty()) {
        damage_.any = true;
        if (loop_) {
            news_.push_back(": " + why + "; it plays again from its start");
        }
    }
}

std::vector<std::string> RecordingPlayer::TakeNews() {
    std::vector<std::string> news;
    news.swap(news_);
    return news;
}

bool RecordingPlayer::Next(RecordedSnapshot &snapshot, int64_t &holdMs) {
    if (!ahead_ && (!loop_ || played_ == 0 || !cannotStart_.empty() || !Restart())) {
        return false;
    }
    snapshot = std::move(*ahead_);
    ahead_.reset();
    RecordedSnapshot next;
    if (reader_->Next(next)) {
        ahead_ = std::move(next);
    }
    NoteProblems();
    if (!ahead_ && !passEnded_) {
        EndPass();
    }
    int64_t gap = 1000;
    if (ahead_) {
        gap = ahead_->timeMs - snapshot.timeMs;
    } else if (previousMs_) {
        gap = snapshot.timeMs - *previousMs_;
    }
    previousMs_ = snapshot.timeMs;
    shortenedMs_ = gap > kLongestPauseMs ? gap : 0;
    gap = std::clamp<int64_t>(gap, 0, kLongestPauseMs);
    holdMs = int64_t(std::llround(double(gap) / speed_));
    ++played_;
    return true;
}
