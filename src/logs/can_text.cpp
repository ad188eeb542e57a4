#include "logs/can_text.h"

#include <cctype>
#include <charconv>

#include "common/can_limits.h"
#include "common/text.h"

namespace {

bool AllHexDigits(std::string_view text) {
    for (char c : text)
        if (std::isxdigit(static_cast<unsigned char>(c)) == 0) return false;
    return true;
}

}  // namespace

bool ParseCanId(std::string_view text, CanId& out) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    if (text.empty() || text.size() > 8 || !AllHexDigits(text)) return false;
    const uint32_t value = ParseHex(text);
    const bool extended = text.size() > 3;
    if (value > MaxId(extended)) return false;
    out = CanId{value, extended};
    return true;
}

bool ParseHexBytes(std::string_view text, std::vector<uint8_t>& out) {
    if (text.size() % 2 != 0 || !AllHexDigits(text)) return false;
    out.clear();
    for (size_t i = 0; i < text.size(); i += 2)
        out.push_back(static_cast<uint8_t>(ParseHex(text.substr(i, 2))));
    return true;
}

bool ParseDigits(std::string_view text, uint64_t& value) {
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool ParseSeconds(std::string_view text, uint64_t& timeUs) {
    const size_t dot = text.find('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view fraction = text.substr(dot + 1);
    uint64_t seconds = 0;
    uint64_t fractionValue = 0;
    if (!ParseDigits(text.substr(0, dot), seconds) || fraction.size() > 9 ||
        !ParseDigits(fraction, fractionValue))
        return false;
    for (size_t digits = fraction.size(); digits < 6; ++digits) fractionValue *= 10;
    for (size_t digits = fraction.size(); digits > 6; --digits) fractionValue /= 10;
    timeUs = seconds * 1000000 + fractionValue;
    return true;
}

bool ParseHexByte(std::string_view text, uint8_t& out) {
    if (text.size() != 2) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + 2, out, 16);
    return ec == std::errc() && end == text.data() + 2;
}
