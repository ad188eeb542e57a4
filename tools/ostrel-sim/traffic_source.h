#pragma once

#include <cstdint>

#include "session/can_buffer.h"

// A frame that another node puts on the simulated bus, and when.
struct TimedFrame {
    // Microseconds after the traffic started; ignored by sources that are not paced.
    uint64_t dueUs = 0;
    CANBuffer frame;
};

// Where the simulated bus traffic comes from: the generator or a replayed log.
class TrafficSource {
  public:
    virtual ~TrafficSource() = default;
    // False when the source has no more frames.
    virtual bool Next(TimedFrame& out) = 0;
    // A source that is not paced goes as fast as the line to the PC takes its frames.
    virtual bool Paced() const = 0;
};
