#pragma once

#include <algorithm>
#include <cstddef>

#include "session/can_buffer.h"

// The data length a frame is written with in the logs that other CAN tools read, which know
// only classic lengths 0 to 8: none for a brief frame, whose length and data the device did not
// send, and at most the eight bytes a record holds for a length above 8.
inline size_t WrittenLength(const CANBuffer& record) {
    return record.brief ? 0 : std::min<size_t>(record.dlc, record.data.size());
}
