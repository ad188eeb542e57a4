#include "acceptance_filter.h"

#include <gtest/gtest.h>

TEST(AcceptanceFilter, PowerOnPassesEverything) {
    AcceptanceFilter filter;
    EXPECT_TRUE(filter.Passes(0x123, false));
    EXPECT_TRUE(filter.Passes(0x1FFFFFFF, true));
}

TEST(AcceptanceFilter, OneListFilterWithTheDefaultsThePcSends) {
    // What the PC sends for the list {0x123, mask 0x7FF, standard}: slot 1 takes slot 0's
    // mask, slots 2-5 match only the extended identifier 0.
    AcceptanceFilter filter;
    filter.SetSlot(0, {0x123, 0x7FF, false});
    filter.SetSlot(1, {0, 0x7FF, true});
    for (int slot = 2; slot < 6; ++slot) filter.SetSlot(slot, {0, 0x1FFFFFFF, true});

    EXPECT_TRUE(filter.Passes(0x123, false));
    EXPECT_FALSE(filter.Passes(0x124, false));
    EXPECT_FALSE(filter.Passes(0x123, true)) << "the extended flag must match the slot's";
    EXPECT_FALSE(filter.Passes(0x18EF2001, true));
    // Slot 1 (extended 0 under slot 0's mask 0x7FF) lets through every extended identifier
    // whose low eleven bits are 0.
    EXPECT_TRUE(filter.Passes(0, true));
    EXPECT_TRUE(filter.Passes(0x18EF2000, true));
}

TEST(AcceptanceFilter, EachGroupUsesTheMaskOfItsFirstSlot) {
    AcceptanceFilter filter;
    filter.SetSlot(0, {0x120, 0x7F0, false});
    filter.SetSlot(1, {0x456, 0x7FF, false});  // its own mask is not used
    filter.SetSlot(2, {0x18EF2000, 0x1FFFFF00, true});
    for (int slot = 3; slot < 6; ++slot) filter.SetSlot(slot, {0x18EF2000, 0, true});

    EXPECT_TRUE(filter.Passes(0x12F, false));
    EXPECT_TRUE(filter.Passes(0x45A, false)) << "slot 1 compares under slot 0's mask 0x7F0";
    EXPECT_FALSE(filter.Passes(0x130, false));
    EXPECT_TRUE(filter.Passes(0x18EF20AB, true));
    EXPECT_FALSE(filter.Passes(0x18EF3000, true)) << "slots 3-5 use slot 2's mask, not 0";

    // A group mask of 0 lets every frame through, whatever the slots hold.
    filter.SetSlot(2, {0x18EF2000, 0, true});
    EXPECT_TRUE(filter.Passes(0x7FF, false));
}

TEST(AcceptanceFilter, SlotNumbersBeyondFiveAreRefused) {
    AcceptanceFilter filter;
    EXPECT_FALSE(filter.SetSlot(6, {0x123, 0x7FF, false}));
    EXPECT_FALSE(filter.SetSlot(-1, {0x123, 0x7FF, false}));
    EXPECT_TRUE(filter.Passes(0x7FF, false));
}
