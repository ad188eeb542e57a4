#pragma once

#include <string>
#include <string_view>

#include "config/config_record.h"

// The filter as bits, top bit first: 'X' where the mask ignores the bit, else the identifier's
// bit; a blank after every bit whose number is a multiple of 4 (bit 0 included).
std::string FilterPattern(const FilterEntry& entry);

// One line of the filter list: 'F' for a fast filter (one of the six the device gets), the
// kind, the entry number before the identifier and again before the mask, then the pattern.
std::string FilterListLine(const FilterEntry& entry, int index);

// The entry the Set Filter dialog's texts describe. `cutToIdSize` keeps only the identifier
// bits (11 or 29), as OK does; the live pattern shows the values uncut.
FilterEntry FilterFromTexts(std::string_view idText, std::string_view maskText, bool extended,
                            bool cutToIdSize);
