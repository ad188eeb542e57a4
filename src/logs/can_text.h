#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// Identifiers, data bytes, numbers and times as text, the way the CAN logs write them.

struct CanId {
    uint32_t id = 0;
    bool extended = false;
};

// Hex digits, with an optional "0x" prefix: up to three digits name a standard identifier
// (at most 7FF), four to eight an extended one (at most 1FFFFFFF). False for anything else.
bool ParseCanId(std::string_view text, CanId& out);

// Exactly two hex digits, one byte ("5A").
bool ParseHexByte(std::string_view text, uint8_t& out);

// Pairs of hex digits, one byte each ("11223344"); false on an odd count or a non-hex digit.
bool ParseHexBytes(std::string_view text, std::vector<uint8_t>& out);

// Decimal digits only, into `value`; false for anything else or an overflow.
bool ParseDigits(std::string_view text, uint64_t& value);

// "seconds.fraction" to microseconds; the fraction has 1 to 9 digits, those past the sixth
// are dropped.
bool ParseSeconds(std::string_view text, uint64_t& timeUs);
