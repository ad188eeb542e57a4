#pragma once

#include <string>

#include "logs/log_file.h"
#include "session/can_buffer.h"

// The comma-separated frame log, one line per frame, for example
//   12345678,003000001,1,0,2,55,AA
// the identifier in eight hex digits, the time stamp in 0.5 us device ticks (at least nine
// decimal digits), the extended and response flags, the data length, then each data byte in
// two hex digits (at most the eight a record holds, whatever the length says). A brief frame,
// whose contents the device did not send, is its identifier and "?": 12345678,?
std::string LogLine(const CANBuffer& record);

// The whole file: no header, a LogLine per frame, CR LF line ends.
LogFormat CsvLogFormat();
