#include "common/text.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

uint32_t ParseHex(std::string_view text) {
    uint32_t value = 0;
    for (char c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0) break;
        value = value * 16u + static_cast<uint32_t>(digit);
    }
    return value;
}

uint32_t ParseDecimal(std::string_view text) {
    uint32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = value * 10u + static_cast<uint32_t>(c - '0');
    }
    return value;
}

uint32_t ParseDecimalSaturating(std::string_view text) {
    constexpr uint64_t kLargest = std::numeric_limits<uint32_t>::max();
    const size_t firstDigit = text.find_first_not_of(" \t");
    if (firstDigit == std::string_view::npos) return 0;
    uint64_t value = 0;
    for (char c : text.substr(firstDigit)) {
        if (c < '0' || c > '9') break;
        value = std::min(value * 10u + static_cast<uint64_t>(c - '0'), kLargest + 1);
    }
    return static_cast<uint32_t>(std::min(value, kLargest));
}

std::string HexByte(uint8_t value) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[value >> 4], kDigits[value & 0xF]};
}

std::string FormatIdText(uint32_t id, bool extended) {
    char text[16];
    if (extended)
        std::snprintf(text, sizeof text, "%08X", id);
    else
        std::snprintf(text, sizeof text, "%04X", id & 0xFFFFu);
    return text;
}
