#pragma once

#include <cstdio>
#include <string>

#include "session/can_buffer.h"

// A frame's data bytes as upper-case hex pairs, "F0 88 13", for comparisons that read like
// the bytes on the bus.
inline std::string DataText(const CANBuffer& record) {
    std::string text;
    for (int i = 0; i < record.dlc && i < 8; ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", record.data[static_cast<size_t>(i)]);
        if (!text.empty()) text += ' ';
        text += pair;
    }
    return text;
}
