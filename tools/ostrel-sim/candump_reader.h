#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "traffic_source.h"

// candump log lines, as `candump -l` writes them:
//     (1436509052.249713) can0 0F1#000300400000
// the reception time in seconds, the interface, then the identifier (three hex digits for a
// standard one, eight for an extended one), '#' and the data bytes in hex, or 'R' (optionally
// followed by the DLC) for a remote frame. Anything after the frame, past a space, is ignored.

struct LogFrame {
    uint64_t timeUs = 0;
    CANBuffer frame;
};

// False with `error` saying what is wrong with the line.
bool ParseCandumpLine(std::string_view line, LogFrame& out, std::string& error);

// Reads every frame of a log; empty lines are skipped. False with `error` naming the file
// and line of the first bad one.
bool ReadCandumpLog(const std::string& path, std::vector<LogFrame>& frames, std::string& error);

// Plays a log's frames with their original spacing, or unpaced with `fast`.
class ReplaySource : public TrafficSource {
  public:
    ReplaySource(std::vector<LogFrame> frames, bool fast)
        : frames_(std::move(frames)), fast_(fast) {}

    bool Next(TimedFrame& out) override;
    bool Paced() const override { return !fast_; }

  private:
    std::vector<LogFrame> frames_;
    bool fast_;
    size_t next_ = 0;
    uint64_t lastDueUs_ = 0;
};
