#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "logs/log_file.h"
#include "logs/log_reader.h"
#include "session/can_buffer.h"

class QDateTime;

// The Vector ASC log (CANoe, CANalyzer and the tools that read their files), one frame a line:
//      1.500000 1  12345678x       Rx   d 2 55 AA
// the device time in seconds with microseconds, channel 1, the identifier in hex with an "x"
// after an extended one, "Rx", "d" and the length, then the data bytes. A response (remote)
// frame is "r" and its length. A brief frame is written as a frame of its kind with length 0;
// lengths above 8 are written as the eight bytes held.
void AppendAscLine(std::string& out, const CANBuffer& record);
std::string AscLine(const CANBuffer& record);

// The date of the header lines, in English whatever the user's language:
// "Thu Mar 14 02:05:09.123 pm 2024".
std::string AscDate(const QDateTime& when);

// The whole file: the header with `saved` as the date, an AscLine per frame, the closing
// "End TriggerBlock", CR LF line ends as the Vector tools write them.
LogFormat AscLogFormat(const QDateTime& saved);

// Reading: frame lines of any channel and direction, "x" marking an extended identifier, the
// data bytes past the length ignored (the Vector tools may add more fields); the header and
// trigger-block lines, comments, "Start of measurement" and error frames hold no frame. Logs
// with "base dec" identifiers are refused.
LogLineKind ReadAscLine(std::string_view line, LogFrame& out, std::string& error);

// Every frame of an ASC log, at most `maxFrames`; false at the first bad line.
bool ReadAscLog(std::string_view text, std::vector<LogFrame>& frames, LogReadError& error,
                size_t maxFrames);

// True when `text` starts as an ASC log does (its "date" or "base" line).
bool LooksLikeAsc(std::string_view text);
