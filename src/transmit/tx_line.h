#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// One frame as a transmit line describes it. Nothing ties the identifier's size to the
// extended flag; the frame record's packing takes the bits it needs.
struct TxFrameFields {
    uint32_t id = 0;
    bool extended = false;
    bool response = false;
    uint8_t dlc = 0;                // 0 ... 8
    std::array<uint8_t, 8> data{};  // bytes beyond the DLC are 0
};

// Reads a transmit line for sending:
//   identifier,extended,remote,DLC,byte,byte,...; note
// hexadecimal identifier and bytes, "1" flags, decimal DLC. A blank line or one whose first
// non-blank character is ";" is a comment and gives no frame. Missing fields keep 0, a flag
// is set only by a field starting with "1", and the data fields also end at ";".
std::optional<TxFrameFields> ParseTxLine(std::string_view line);
