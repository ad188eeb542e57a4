#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "session/can_buffer.h"

// Reading saved logs back: what every format's reader gives and how it says what is wrong.

// One frame read from a log: its time in microseconds as the file gives it, and the record,
// whose time stamp is that time in 0.5 us device ticks, wrapping as the device clock does
// (2^32 ticks); a time of this tool's own logs reads back as the tick it was written from.
struct LogFrame {
    uint64_t timeUs = 0;
    CANBuffer frame;
};

// Where reading stopped and why: `place` is "line 12" (or "block 3" for a binary log).
struct LogReadError {
    std::string place;
    std::string reason;
};

// What a line of a text log is.
enum class LogLineKind { Frame, Other, Bad };

// Reads one line (without its line end) into `out`; Other for a line that holds no frame
// (a header), Bad with `error` saying what is wrong.
using LogLineReader = LogLineKind (*)(std::string_view line, LogFrame& out, std::string& error);

// Reads the frames of a text log in file order, skipping empty lines, CR LF or LF ends. Stops
// after `maxFrames` frames. False at the first bad line, with `error` naming it.
bool ReadLogLines(std::string_view text, LogLineReader readLine, std::vector<LogFrame>& frames,
                  LogReadError& error, size_t maxFrames);

// Sets the frame's time in microseconds and its device time stamp.
void SetLogFrameTime(LogFrame& frame, uint64_t timeUs);
