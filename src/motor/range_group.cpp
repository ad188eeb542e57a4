#include "motor/range_group.h"

std::string RangeErrorText(const FieldRange& range) {
    return "Enter Value between " + std::to_string(range.low) + " and " +
           std::to_string(range.high);
}

bool RangeGroup::Check(int value, const FieldRange& range) {
    const bool outOfRange = value < range.low || value > range.high;
    if (outOfRange)
        mask_ |= range.bit;
    else
        mask_ &= ~range.bit;
    return outOfRange;
}
