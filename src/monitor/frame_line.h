#pragma once

#include <string>

struct CANBuffer;

// One line of the frame log for a received or transmitted frame. A received frame reads
//   000012 0,001,500,000 E   0x12345678 2 55 AA
// (sequence, device time as thousands of seconds, seconds, milliseconds and microseconds,
// E/S for extended or standard, R for a response frame, identifier, length, data bytes);
// a transmitted one has "    TX" in place of sequence and time, padded to the same width.
// Every line but a brief one ends with a blank.
std::string FormatFrameLine(const CANBuffer& record, bool transmitted);
