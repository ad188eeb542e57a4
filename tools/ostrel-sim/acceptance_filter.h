#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "common/filter_slots.h"

// The CAN controller's six acceptance filters with its two masks: slots 0-1 share the mask
// of slot 0, slots 2-5 the mask of slot 2 (the PC keeps the masks of a group equal and
// fills unused slots with the first slot's mask, so the first slot's is the group's). A frame
// passes when one slot matches it: ((id ^ slot.id) & mask) == 0 with the slot's extended flag
// equal to the frame's. A group mask of 0 lets every frame through.
class AcceptanceFilter {
  public:
    struct Slot {
        uint32_t id = 0;
        uint32_t mask = 0;
        bool extended = true;
    };

    // Power-on: every slot open (mask 0).
    void Reset() { slots_ = {}; }
    // False, and nothing changes, for a slot number outside 0..5.
    bool SetSlot(int number, const Slot& slot);
    const Slot& slot(int number) const { return slots_[static_cast<std::size_t>(number)]; }

    bool Passes(uint32_t id, bool extended) const;

  private:
    std::array<Slot, kFilterSlots> slots_{};
};
