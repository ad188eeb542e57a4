#pragma once

#include <string>

#include "logs/log_file.h"
#include "session/can_buffer.h"

// The candump log of Linux can-utils (candump -l, canplayer, log2asc), one frame a line:
//   (1.500000) can0 12345678#55AA
// the device time in seconds with microseconds, the interface "can0", the identifier in 3 hex
// digits (standard) or 8 (extended), "#" and the data bytes in hex. A response (remote) frame
// is "R" and its length when not 0: 7FF#R3. A brief frame is written as a frame of its kind
// without data (123# or 123#R); lengths above 8 are written as the eight bytes held.
std::string CandumpLine(const CANBuffer& record);

// The whole file: no header, a CandumpLine per frame, LF line ends as candump writes them.
LogFormat CandumpLogFormat();
