#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "logs/log_file.h"
#include "logs/log_reader.h"
#include "session/can_buffer.h"

// The candump log of Linux can-utils (candump -l, canplayer, log2asc), one frame a line:
//   (1.500000) can0 12345678#55AA
// the time in seconds with microseconds, the interface "can0", the identifier in 3 hex digits
// (standard) or 8 (extended), "#" and the data bytes in hex. A response (remote) frame is "R"
// and its length when not 0: 7FF#R3.

// Writing: the device time; a brief frame is written as a frame of its kind without data
// (123# or 123#R); lengths above 8 are written as the eight bytes held.
void AppendCandumpLine(std::string& out, const CANBuffer& record);
std::string CandumpLine(const CANBuffer& record);

// The whole file: no header, a CandumpLine per frame, LF line ends as candump writes them.
LogFormat CandumpLogFormat();

// Reading: any interface name, a time fraction of 1 to 9 digits, anything after the frame past
// a space (a direction mark) ignored, CAN FD frames refused. Bad with `error` saying what is
// wrong with the line.
LogLineKind ReadCandumpLine(std::string_view line, LogFrame& out, std::string& error);

// Every frame of a candump log, at most `maxFrames`; false at the first bad line.
bool ReadCandumpLog(std::string_view text, std::vector<LogFrame>& frames, LogReadError& error,
                    size_t maxFrames);
