#include "filters/filter_text.h"

#include <cstdio>

#include "common/can_limits.h"
#include "common/filter_slots.h"
#include "common/text.h"

namespace {

// "  %2d 0x%0<digits>X " of one value: the entry number stands before each value.
std::string NumberedValue(int index, uint32_t value, bool extended) {
    char text[32];
    std::snprintf(text, sizeof text, "  %2d 0x%0*X ", index, extended ? 8 : 3, value);
    return text;
}

}  // namespace

std::string FilterPattern(const FilterEntry& entry) {
    std::string pattern;
    for (int bit = entry.extended ? 28 : 10; bit >= 0; --bit) {
        const uint32_t flag = 1u << bit;
        if ((entry.mask & flag) == 0)
            pattern += 'X';
        else
            pattern += (entry.id & flag) ? '1' : '0';
        if (bit % 4 == 0) pattern += ' ';
    }
    return pattern;
}

std::string FilterListLine(const FilterEntry& entry, int index) {
    const bool extended = entry.extended != 0;
    std::string line;
    line += index < kFilterSlots ? 'F' : ' ';
    line += ' ';
    line += extended ? 'E' : 'S';
    line += NumberedValue(index, entry.id, extended);
    line += NumberedValue(index, entry.mask, extended);
    line += " (" + FilterPattern(entry) + ")";
    return line;
}

FilterEntry FilterFromTexts(std::string_view idText, std::string_view maskText, bool extended,
                            bool cutToIdSize) {
    const uint32_t limit = cutToIdSize ? MaxId(extended) : 0xFFFFFFFFu;
    FilterEntry entry;
    entry.id = ParseHex(idText) & limit;
    entry.mask = ParseHex(maskText) & limit;
    entry.extended = extended ? 1 : 0;
    return entry;
}
