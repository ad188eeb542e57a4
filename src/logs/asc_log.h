#pragma once

#include <string>

#include "logs/log_file.h"
#include "session/can_buffer.h"

class QDateTime;

// The Vector ASC log (CANoe, CANalyzer and the tools that read their files), one frame a line:
//      1.500000 1  12345678x       Rx   d 2 55 AA
// the device time in seconds with microseconds, channel 1, the identifier in hex with an "x"
// after an extended one, "Rx", "d" and the length, then the data bytes. A response (remote)
// frame is "r" and its length. A brief frame is written as a frame of its kind with length 0;
// lengths above 8 are written as the eight bytes held.
std::string AscLine(const CANBuffer& record);

// The date of the header lines, in English whatever the user's language:
// "Thu Mar 14 02:05:09.123 pm 2024".
std::string AscDate(const QDateTime& when);

// The whole file: the header with `saved` as the date, an AscLine per frame, the closing
// "End TriggerBlock", CR LF line ends as the Vector tools write them.
LogFormat AscLogFormat(const QDateTime& saved);
