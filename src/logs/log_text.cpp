#include "logs/log_text.h"

#include <charconv>

#include "common/can_limits.h"

namespace {

void AppendNumber(std::string& out, uint32_t value, int base, size_t minDigits) {
    char digits[32];
    char* const end = std::to_chars(digits, digits + sizeof digits, value, base).ptr;
    const size_t count = static_cast<size_t>(end - digits);
    if (count < minDigits) out.append(minDigits - count, '0');
    for (const char* digit = digits; digit != end; ++digit)
        out += (*digit >= 'a') ? static_cast<char>(*digit - 'a' + 'A') : *digit;
}

}  // namespace

void AppendHex(std::string& out, uint32_t value, size_t minDigits) {
    AppendNumber(out, value, 16, minDigits);
}

void AppendDecimal(std::string& out, uint32_t value, size_t minDigits) {
    AppendNumber(out, value, 10, minDigits);
}

void AppendSeconds(std::string& out, uint32_t ticks) {
    AppendDecimal(out, ticks / kDeviceTicksPerSecond);
    out += '.';
    AppendDecimal(out, ticks % kDeviceTicksPerSecond / kDeviceTicksPerUs, 6);
}
