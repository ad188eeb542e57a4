#pragma once

// The frame log's budget and counters, without any widget. Per one-second tick the log gets
// at most four frame lines and then one "..." line; received and transmitted frames share
// that budget. The counters are worth writing at once only for the first two frames of a
// second, otherwise at the next tick. A frame that reports lost frames makes the
// "Packets Missed" indicator blink, one change a tick, until five ticks after the last such
// frame.
class LogThrottle {
  public:
    static constexpr int kFrameLinesPerSecond = 4;
    static constexpr int kMissedBlinkTicks = 5;

    enum class Line { None, Frame, Ellipsis };
    struct Outcome {
        bool writeCounter;  // write the counter of this frame's direction now
        Line line;          // what the log gets for this frame
    };

    // A received frame; `framesLost` is the device's lost-frames flag in it.
    Outcome Received(bool framesLost, bool dynamicDisplay);
    Outcome Sent(bool dynamicDisplay);
    // The one-second tick; true when both counters are to be written now.
    bool Tick();
    // Reset Log: both counters and the frames of this second start again from 0.
    void ResetCounters();

    int receivedCount() const { return receivedCount_; }
    int transmittedCount() const { return transmittedCount_; }
    bool missedVisible() const { return missedVisible_; }

  private:
    Outcome Count(int& counter, bool dynamicDisplay);
    bool BlinkPhase() const { return (secondTicks_ & 1) != 0; }

    int receivedCount_ = 0;
    int transmittedCount_ = 0;
    int framesThisSecond_ = 0;
    bool ellipsisShown_ = false;
    int missedCountdown_ = 0;
    int secondTicks_ = 0;
    bool missedVisible_ = false;
};
