#pragma once

// The device's hardware acceptance filters: six slots in two groups that share one mask each.
// Slots 0-1 use the mask of slot 0, slots 2-5 the mask of slot 2.
inline constexpr int kFilterSlots = 6;

// The first slot of the group of `slot` (0 to 5): the one whose mask the group uses.
constexpr int FilterGroupLeader(int slot) {
    return slot < 2 ? 0 : 2;
}
