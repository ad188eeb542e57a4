#include "filters/filter_table.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Offer {
    uint32_t mask;
    bool maskEditable;
    int number;
};

// An editor that records what it was offered and either cancels or confirms with the id
// `slot` and, where the mask box is free, the mask 0x1000 + slot.
FilterEditor Recorder(std::vector<Offer>& offers, bool confirm = true) {
    return [&offers, confirm](FilterEntry& entry, bool maskEditable, int number) {
        offers.push_back({entry.mask, maskEditable, number});
        if (!confirm) return false;
        entry.id = static_cast<uint32_t>(number);
        if (maskEditable) entry.mask = 0x1000u + static_cast<uint32_t>(number);
        return true;
    };
}

// A record holding `count` entries with id i and mask 0x100 + i, shared masks synced.
ConfigRecord RecordWith(int count) {
    ConfigRecord config;
    config.filterCount = count;
    for (int i = 0; i < count; ++i) {
        config.filters[i].id = static_cast<uint32_t>(i);
        config.filters[i].mask = 0x100u + static_cast<uint32_t>(i);
    }
    FilterTable(config).SyncSharedMasks();
    return config;
}

}  // namespace

TEST(FilterTable, AddLocksSlotsOneAndThreeToFiveOnTheirGroupsMask) {
    ConfigRecord config;
    FilterTable table(config);
    std::vector<Offer> offers;
    for (int i = 0; i < 7; ++i) ASSERT_TRUE(table.Add(Recorder(offers)));
    ASSERT_EQ(config.filterCount, 7);
    const std::vector<std::pair<uint32_t, bool>> expected = {{FilterTable::kNewEntryMask, true},
                                                             {0x1000, false},
                                                             {FilterTable::kNewEntryMask, true},
                                                             {0x1002, false},
                                                             {0x1002, false},
                                                             {0x1002, false},
                                                             {FilterTable::kNewEntryMask, true}};
    for (int slot = 0; slot < 7; ++slot) {
        EXPECT_EQ(offers[slot].number, slot);
        EXPECT_EQ(offers[slot].mask, expected[slot].first) << slot;
        EXPECT_EQ(offers[slot].maskEditable, expected[slot].second) << slot;
    }
    const auto lines = table.ListLines();
    EXPECT_EQ(lines[5][0], 'F');
    EXPECT_EQ(lines[6][0], ' ');
}

TEST(FilterTable, CancelledAddIsCarriedOutAndAFullTableRefuses) {
    ConfigRecord config = RecordWith(1);
    config.filters[1].mask = 0xBAD;
    std::vector<Offer> offers;
    EXPECT_TRUE(FilterTable(config).Add(Recorder(offers, false)));  // still redrawn
    EXPECT_EQ(config.filterCount, 1);
    // The sync writes the shared slots also beyond the count.
    EXPECT_EQ(config.filters[1].mask, 0x100u);

    ConfigRecord full = RecordWith(ConfigRecord::kMaxFilters);
    offers.clear();
    EXPECT_FALSE(FilterTable(full).Add(Recorder(offers)));
    EXPECT_TRUE(offers.empty());
}

TEST(FilterTable, DeletingEntryTwoOfSevenKeepsTheGroupMask) {
    ConfigRecord config = RecordWith(7);
    FilterTable table(config);
    ASSERT_TRUE(table.Delete(2));
    EXPECT_EQ(config.filterCount, 6);
    for (int slot = 2; slot < 6; ++slot) {
        EXPECT_EQ(config.filters[slot].id, static_cast<uint32_t>(slot + 1));
        EXPECT_EQ(config.filters[slot].mask, 0x102u);  // slot 2's mask before the delete
    }
    EXPECT_FALSE(table.Delete(-1));
    EXPECT_FALSE(table.Delete(6));
}

TEST(FilterTable, MovingEntryTwoUpHandsEntryZerosMaskToBothGroups) {
    ConfigRecord config = RecordWith(4);
    FilterTable table(config);
    ASSERT_TRUE(table.MoveUp(2));
    EXPECT_EQ(config.filters[1].id, 2u);
    EXPECT_EQ(config.filters[2].id, 1u);
    for (int slot = 1; slot < 6; ++slot) EXPECT_EQ(config.filters[slot].mask, 0x100u);

    // The old mask of slot 2 is lost: moving back down does not restore it.
    ASSERT_TRUE(table.MoveDown(1));
    EXPECT_EQ(config.filters[2].id, 2u);
    EXPECT_EQ(config.filters[2].mask, 0x100u);

    EXPECT_FALSE(table.MoveUp(0));
    EXPECT_FALSE(table.MoveDown(3));  // the last entry
}

TEST(FilterTable, EditKeepsASharedSlotOnItsGroupMask) {
    ConfigRecord config = RecordWith(4);
    FilterTable table(config);
    // Even an editor that writes the mask of a locked slot cannot break the sharing.
    ASSERT_TRUE(table.Edit(3, [](FilterEntry& entry, bool, int) {
        entry.mask = 0xDEAD;
        return true;
    }));
    EXPECT_EQ(config.filters[3].mask, 0x102u);

    std::vector<Offer> offers;
    ASSERT_TRUE(table.Edit(2, Recorder(offers)));
    for (int slot = 2; slot < 6; ++slot) EXPECT_EQ(config.filters[slot].mask, 0x1002u);
    EXPECT_TRUE(table.Edit(1, Recorder(offers, false)));  // cancelled: still redrawn
    EXPECT_FALSE(offers.back().maskEditable);
    EXPECT_FALSE(table.Edit(4, Recorder(offers)));  // no such entry
}
