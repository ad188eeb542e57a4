#include "common/text.h"

#include <cstdio>

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

std::string FormatIdText(uint32_t id, bool extended) {
    char text[16];
    if (extended)
        std::snprintf(text, sizeof text, "%08X", id);
    else
        std::snprintf(text, sizeof text, "%04X", id & 0xFFFFu);
    return text;
}
