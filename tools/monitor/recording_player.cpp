// The holds of a replay, and its loop, over a reader that reads each snapshot once.
#include "recording_player.h"

#include <algorithm>
#include <cmath>
#include <sstream>

RecordingPlayer::RecordingPlayer(Open open, double speed, bool loop)
    : open_(std::move(open)), speed_(speed), loop_(loop) {
    Restart();
}

bool RecordingPlayer::Restart() {
    stream_ = open_();
    if (!stream_) {
        stream_ = std::make_unique<std::istringstream>(); // gone: nothing to read
    }
    reader_ = std::make_unique<RecordingReader>(*stream_);
    previousMs_.reset();
    ahead_.reset();
    std::string error;
    RecordedSnapshot first;
    if (!reader_->ReadHeader(error) || !reader_->Next(first)) {
        return false;
    }
    ahead_ = std::move(first);
    return true;
}

bool RecordingPlayer::Next(RecordedSnapshot &snapshot, int64_t &holdMs) {
    if (!ahead_ && (!loop_ || played_ == 0 || !Restart())) {
        return false;
    }
    snapshot = std::move(*ahead_);
    ahead_.reset();
    RecordedSnapshot next;
    if (reader_->Next(next)) {
        ahead_ = std::move(next);
    }
    int64_t gap = 1000;
    if (ahead_) {
        gap = ahead_->timeMs - snapshot.timeMs;
    } else if (previousMs_) {
        gap = snapshot.timeMs - *previousMs_;
    }
    previousMs_ = snapshot.timeMs;
    holdMs = int64_t(std::llround(double(std::max<int64_t>(gap, 0)) / speed_));
    ++played_;
    return true;
}
