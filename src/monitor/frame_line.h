#pragma once

#include <cstdint>
#include <string>

struct CANBuffer;

// One line of the frame log for a received or transmitted frame. A received frame reads
//   000012 0,001,500,000 E   0x12345678 2 55 AA
// (sequence, device time as thousands of seconds, seconds, milliseconds and microseconds,
// E/S for extended or standard, R for a response frame, identifier, length, data bytes);
// a transmitted one has "    TX" in place of sequence and time, padded to the same width.
// Every line but a brief one ends with a blank.
std::string FormatFrameLine(const CANBuffer& record, bool transmitted);

// Parts of a received line: the device time "0,001,500,000" (thousands of seconds, seconds,
// milliseconds, microseconds) of 0.5 us ticks, and the data bytes "55 AA " of the record.
std::string FormatDeviceTime(uint32_t ticks);
// The identifier as a line shows it: "0x" and eight hex digits.
std::string FormatIdentifier(uint32_t id);
std::string FormatDataBytes(const CANBuffer& record);
