#include "replay_source.h"

#include <algorithm>

bool ReplaySource::Next(TimedFrame& out) {
    if (next_ >= frames_.size()) return false;
    const LogFrame& frame = frames_[next_++];
    out.frame = frame.frame;
    out.dueUs = 0;
    if (fast_) return true;
    // A frame whose time steps back goes out right after the one before it.
    const uint64_t start = frames_.front().timeUs;
    lastDueUs_ = std::max(lastDueUs_, frame.timeUs > start ? frame.timeUs - start : 0);
    out.dueUs = lastDueUs_;
    return true;
}
