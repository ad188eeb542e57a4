#include "filters/fast_filter_slots.h"

#include <gtest/gtest.h>

namespace {

FilterEntry Std(uint32_t id, uint32_t mask) {
    return FilterEntry{id, mask, 0, {}};
}
FilterEntry Ext(uint32_t id, uint32_t mask) {
    return FilterEntry{id, mask, 1, {}};
}

// The (id, mask, extended) of each slot, for comparing.
std::vector<std::tuple<uint32_t, uint32_t, int>> Values(const FastFilterSlots& slots) {
    std::vector<std::tuple<uint32_t, uint32_t, int>> values;
    for (const FilterEntry& slot : slots) values.emplace_back(slot.id, slot.mask, slot.extended);
    return values;
}

}  // namespace

TEST(FastFilterSlots, PlacesFiltersInMaskGroupsOrSaysWhyNot) {
    const FilterEntry a = Std(0x100, 0x7FF);
    const FilterEntry b = Std(0x200, 0x7FF);
    const FilterEntry c = Ext(0x18EF0000, 0x1FFF0000);
    const FilterEntry d = Ext(0x18FE0000, 0x1FFF0000);
    const FilterEntry e = Ext(0x0CF00000, 0x1FFF0000);
    const FilterEntry f = Std(0x300, 0x700);
    struct Case {
        std::vector<FilterEntry> filters;
        std::vector<FilterEntry> slots;  // empty: cannot be placed
        std::string error;
    } cases[] = {
        // One mask spans both groups; unused slots repeat the first filter.
        {{a}, {a, a, a, a, a, a}, ""},
        {{a, b, a, b, b}, {a, b, a, b, b, a}, ""},
        // Two masks: the one with at most two filters takes slots 0-1.
        {{a, c}, {a, a, c, c, c, c}, ""},
        {{c, d, e, a}, {a, a, c, d, e, c}, ""},
        {{c, a, b}, {c, c, a, b, a, a}, ""},
        {{a, b, c, d, e}, {a, b, c, d, e, c}, ""},
        // What does not fit is refused, never changed.
        {{a, c, f}, {}, "the filters use 3 different masks; the device holds 2"},
        {{a, b, a, c, d, e},
         {},
         "the filters do not fit the device's shared masks: 3 with mask 000007FF, 3 with mask "
         "1FFF0000; the slots share masks in groups of 2 4"},
        {{}, {}, "the device takes 1 to 6 filters"},
        {{a, a, a, a, a, a, a}, {}, "the device takes 1 to 6 filters"},
    };
    for (const Case& c : cases) {
        FastFilterSlots slots{};
        const FastFilterSlots untouched = slots;
        std::string error;
        const bool placed = PlaceFastFilters(c.filters, slots, error);
        EXPECT_EQ(placed, !c.slots.empty()) << error;
        EXPECT_EQ(error, c.error);
        FastFilterSlots expected = untouched;
        std::copy(c.slots.begin(), c.slots.end(), expected.begin());
        EXPECT_EQ(Values(slots), Values(expected));
    }
}
