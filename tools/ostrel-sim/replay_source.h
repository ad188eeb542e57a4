#pragma once

#include <vector>

#include "logs/log_reader.h"
#include "traffic_source.h"

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
