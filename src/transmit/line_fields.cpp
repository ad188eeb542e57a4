#include "transmit/line_fields.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>

std::optional<std::string_view> LineFields::Next(std::string_view separators) {
    const size_t start = rest_.find_first_not_of(separators);
    if (start == std::string_view::npos) {
        rest_ = {};
        return std::nullopt;
    }
    const size_t end = rest_.find_first_of(separators, start);
    const std::string_view field = rest_.substr(start, end - start);
    rest_ = end == std::string_view::npos ? std::string_view{} : rest_.substr(end + 1);
    return field;
}

int ReadDlcField(std::string_view field) {
    const std::string text(field);
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp(value, 0L, 8L));
}

std::string_view SkipLeadingSpace(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    return text;
}
