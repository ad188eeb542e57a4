#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "logs/log_file.h"
#include "logs/log_reader.h"
#include "session/can_buffer.h"

// The comma-separated frame log, one line per frame, for example
//   12345678,003000001,1,0,2,55,AA
// the identifier in eight hex digits, the time stamp in 0.5 us device ticks (at least nine
// decimal digits), the extended and response flags, the data length, then each data byte in
// two hex digits (at most the eight a record holds, whatever the length says). A brief frame,
// whose contents the device did not send, is its identifier and "?": 12345678,?
void AppendLogLine(std::string& out, const CANBuffer& record);
std::string LogLine(const CANBuffer& record);

// The whole file: no header, a LogLine per frame, CR LF line ends.
LogFormat CsvLogFormat();

// Reading this tool's own lines back: every field as written, the time stamp to the half
// microsecond. A brief line gives a brief frame of length 0, extended when its identifier
// does not fit 11 bits, at the time of the frame before it (0 when there is none).
LogLineKind ReadCsvLine(std::string_view line, LogFrame& out, std::string& error);

// Every frame of a comma-separated log, at most `maxFrames`; false at the first bad line.
bool ReadCsvLog(std::string_view text, std::vector<LogFrame>& frames, LogReadError& error,
                size_t maxFrames);
