#pragma once

#include <cstdint>

struct CANBuffer;

// Bits a classic CAN frame occupies on the bus, from its start-of-frame bit through the
// three-bit intermission after it, with the worst case of bit stuffing. A standard data frame
// has 47 fixed bits, an extended one 67, plus eight per data byte; stuffing can add one bit per
// four after the first among the bits from start of frame to the end of the CRC (34 or 54 plus
// the data bits). This is an upper estimate: real traffic stuffs fewer bits, so the load shown
// is the most the frames can have used. A response (remote) frame carries no data whatever its
// DLC; a DLC above 8 carries eight bytes. A brief-mode record, whose length the device did not
// send, counts as a frame without data.
uint32_t FrameBitsOnWire(const CANBuffer& record);
