#include "acceptance_filter.h"

bool AcceptanceFilter::SetSlot(int number, const Slot& slot) {
    if (number < 0 || number >= kFilterSlots) return false;
    slots_[static_cast<std::size_t>(number)] = slot;
    return true;
}

bool AcceptanceFilter::Passes(uint32_t id, bool extended) const {
    for (int number = 0; number < kFilterSlots; ++number) {
        const Slot& candidate = slots_[static_cast<std::size_t>(number)];
        const uint32_t mask = slots_[static_cast<std::size_t>(FilterGroupLeader(number))].mask;
        if (mask == 0) return true;
        if (candidate.extended == extended && ((id ^ candidate.id) & mask) == 0) return true;
    }
    return false;
}
