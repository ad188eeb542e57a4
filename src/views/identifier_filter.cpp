#include "views/identifier_filter.h"

#include <cctype>
#include <cstdio>
#include <string_view>

#include "common/text.h"

namespace {

constexpr size_t kMaxDigits = 8;

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Upper-case hex digits of `text` without a "0x" before them; empty when any other character
// is there or there are more digits than an identifier has.
std::string HexDigits(std::string text) {
    text = Trimmed(text);
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.erase(0, 2);
    if (text.empty() || text.size() > kMaxDigits) return {};
    for (char& c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return {};
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

}  // namespace

IdentifierFilter::IdentifierFilter(const std::string& text) {
    if (Trimmed(text).empty()) return;
    const size_t dash = text.find('-');
    if (dash == std::string::npos) {
        prefix_ = HexDigits(text);
        kind_ = Kind::Prefix;
        valid_ = !prefix_.empty();
        return;
    }
    const std::string low = HexDigits(text.substr(0, dash));
    const std::string high = HexDigits(text.substr(dash + 1));
    kind_ = Kind::Range;
    valid_ = !low.empty() && !high.empty();
    low_ = ParseHex(low);
    high_ = ParseHex(high);
}

bool IdentifierFilter::Passes(uint32_t id) const {
    if (!valid_) return false;
    switch (kind_) {
        case Kind::Prefix: {
            char digits[kMaxDigits + 1];
            std::snprintf(digits, sizeof digits, "%X", id);
            return std::string_view(digits).starts_with(prefix_);
        }
        case Kind::Range:
            return id >= low_ && id <= high_;
        case Kind::All:
            break;
    }
    return true;
}
