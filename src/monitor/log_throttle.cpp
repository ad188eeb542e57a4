#include "monitor/log_throttle.h"

namespace {
// Frames of a second whose counter is written at once; later ones wait for the tick.
constexpr int kCounterWritesPerSecond = 2;
}  // namespace

LogThrottle::Outcome LogThrottle::Received(bool framesLost, bool dynamicDisplay) {
    if (framesLost) {
        missedVisible_ = BlinkPhase();
        missedCountdown_ = kMissedBlinkTicks;
    }
    return Count(receivedCount_, dynamicDisplay);
}

LogThrottle::Outcome LogThrottle::Sent(bool dynamicDisplay) {
    return Count(transmittedCount_, dynamicDisplay);
}

LogThrottle::Outcome LogThrottle::Count(int& counter, bool dynamicDisplay) {
    ++counter;
    ++framesThisSecond_;
    Outcome outcome{framesThisSecond_ <= kCounterWritesPerSecond, Line::None};
    if (!dynamicDisplay) return outcome;
    if (framesThisSecond_ <= kFrameLinesPerSecond) {
        outcome.line = Line::Frame;
    } else if (!ellipsisShown_) {
        ellipsisShown_ = true;
        outcome.line = Line::Ellipsis;
    }
    return outcome;
}

bool LogThrottle::Tick() {
    const bool writeCounters = framesThisSecond_ > kCounterWritesPerSecond;
    framesThisSecond_ = 0;
    ellipsisShown_ = false;
    if (missedCountdown_ != 0) {
        --missedCountdown_;
        missedVisible_ = missedCountdown_ != 0 && BlinkPhase();
    }
    ++secondTicks_;
    return writeCounters;
}

void LogThrottle::ResetCounters() {
    receivedCount_ = 0;
    transmittedCount_ = 0;
    framesThisSecond_ = 0;
}
