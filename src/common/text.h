#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Value of the leading hexadecimal digits of a text (value * 16 + digit, unsigned 32-bit,
// wrapping), up to the first other character; 0 when the text does not start with one.
uint32_t ParseHex(std::string_view text);

// The same with decimal digits.
uint32_t ParseDecimal(std::string_view text);

// A number typed by the user: blanks before the digits are skipped, the digits are read up to
// the first other character, and a value beyond 32 bits gives the largest 32-bit value instead
// of wrapping; 0 when no digit follows the blanks.
uint32_t ParseDecimalSaturating(std::string_view text);

// Two upper-case hex digits of a byte: "0A".
std::string HexByte(uint8_t value);

// "%08X" for an extended identifier, "%04X" of the low 16 bits for a standard one.
std::string FormatIdText(uint32_t id, bool extended);
