#include <gtest/gtest.h>

#include <vector>

#include "filters/filter_table.h"

namespace {

struct EditorCall {
    FilterEntry offered;
    bool maskEditable;
    int number;
};

// An editor that records what it was offered and answers with a fixed choice.
struct ScriptedEditor {
    bool confirm = true;
    uint32_t newId = 0x100;
    uint32_t newMask = 0x0000FFFF;
    std::vector<EditorCall> calls;

    FilterEditor Function() {
        return [this](FilterEntry& entry, bool maskEditable, int number) {
            calls.push_back({entry, maskEditable, number});
            if (!confirm) return false;
            entry.id = newId;
            if (maskEditable) entry.mask = newMask;
            return true;
        };
    }
};

FilterEntry Entry(uint32_t id, uint32_t mask) {
    FilterEntry entry;
    entry.id = id;
    entry.mask = mask;
    entry.extended = 1;
    return entry;
}

// A record holding `count` entries with id i and mask 0x100 + i, as if loaded unsynced.
ConfigRecord RecordWith(int count) {
    ConfigRecord config;
    config.filterCount = count;
    for (int i = 0; i < count; ++i) config.filters[i] = Entry(i, 0x100 + i);
    return config;
}

}  // namespace

TEST(FilterTable, AddOffersTheSharedMaskLockedForSlotsOneAndThreeToFive) {
    ConfigRecord config;
    FilterTable table(config);
    ScriptedEditor editor;
    for (int i = 0; i < 7; ++i) {
        editor.newMask = 0x1000 + i;
        ASSERT_TRUE(table.Add(editor.Function()));
    }
    ASSERT_EQ(config.filterCount, 7);
    ASSERT_EQ(editor.calls.size(), 7u);

    // First filter: a fresh entry, mask editable.
    EXPECT_EQ(editor.calls[0].number, 0);
    EXPECT_TRUE(editor.calls[0].maskEditable);
    EXPECT_EQ(editor.calls[0].offered.id, 0u);
    EXPECT_EQ(editor.calls[0].offered.mask, FilterTable::kNewEntryMask);
    EXPECT_EQ(editor.calls[0].offered.extended, 1);
    // Second: locked on entry 0's mask. Third: free. Fourth to sixth: locked on entry 2's.
    EXPECT_FALSE(editor.calls[1].maskEditable);
    EXPECT_EQ(editor.calls[1].offered.mask, 0x1000u);
    EXPECT_TRUE(editor.calls[2].maskEditable);
    EXPECT_EQ(editor.calls[2].offered.mask, FilterTable::kNewEntryMask);
    for (int slot = 3; slot <= 5; ++slot) {
        EXPECT_EQ(editor.calls[slot].number, slot);
        EXPECT_FALSE(editor.calls[slot].maskEditable);
        EXPECT_EQ(editor.calls[slot].offered.mask, 0x1002u);
    }
    // Seventh and later are free again.
    EXPECT_TRUE(editor.calls[6].maskEditable);
    EXPECT_EQ(config.filters[6].mask, 0x1006u);

    const auto lines = table.ListLines();
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[5][0], 'F');
    EXPECT_EQ(lines[6][0], ' ');
}

TEST(FilterTable, CancelledAddStoresNothingButIsCarriedOutAndAFullTableRefuses) {
    ConfigRecord config = RecordWith(1);
    FilterTable table(config);
    ScriptedEditor editor;
    editor.confirm = false;
    EXPECT_TRUE(table.Add(editor.Function()));  // the caller still redraws and uploads
    EXPECT_EQ(config.filterCount, 1);
    EXPECT_EQ(config.filters[1].mask, config.filters[0].mask);  // the sync ran all the same

    ConfigRecord full = RecordWith(ConfigRecord::kMaxFilters);
    FilterTable fullTable(full);
    editor.calls.clear();
    EXPECT_FALSE(fullTable.CanAdd());
    EXPECT_FALSE(fullTable.Add(editor.Function()));
    EXPECT_TRUE(editor.calls.empty());
    EXPECT_EQ(full.filterCount, ConfigRecord::kMaxFilters);
}

TEST(FilterTable, SyncWritesTheSharedSlotsAlsoBeyondTheCount) {
    ConfigRecord config = RecordWith(1);
    config.filters[2].mask = 0xABC;
    config.filters[6].mask = 0x666;
    FilterTable(config).SyncSharedMasks();
    EXPECT_EQ(config.filters[1].mask, 0x100u);
    for (int slot = 3; slot <= 5; ++slot) EXPECT_EQ(config.filters[slot].mask, 0xABCu);
    EXPECT_EQ(config.filters[6].mask, 0x666u);
}

TEST(FilterTable, DeletingEntryTwoOfSevenKeepsTheGroupMask) {
    ConfigRecord config = RecordWith(7);
    FilterTable table(config);
    table.SyncSharedMasks();
    ASSERT_TRUE(table.Delete(2));
    EXPECT_EQ(config.filterCount, 6);
    for (int slot = 2; slot < 6; ++slot) {
        EXPECT_EQ(config.filters[slot].id, static_cast<uint32_t>(slot + 1));
        EXPECT_EQ(config.filters[slot].mask, 0x102u);  // slot 2's mask before the delete
    }
    EXPECT_EQ(config.filters[1].mask, 0x100u);
    EXPECT_FALSE(table.Delete(-1));
    EXPECT_FALSE(table.Delete(6));
}

TEST(FilterTable, MovingEntryTwoUpHandsEntryZerosMaskToBothGroups) {
    ConfigRecord config = RecordWith(4);
    FilterTable table(config);
    table.SyncSharedMasks();
    ASSERT_TRUE(table.MoveUp(2));
    EXPECT_EQ(config.filters[1].id, 2u);
    EXPECT_EQ(config.filters[1].mask, 0x100u);  // takes entry 0's mask
    EXPECT_EQ(config.filters[2].id, 1u);
    for (int slot = 2; slot < 6; ++slot) EXPECT_EQ(config.filters[slot].mask, 0x100u);

    // The old mask of slot 2 is lost: moving back down does not restore it.
    ASSERT_TRUE(table.MoveDown(1));
    EXPECT_EQ(config.filters[2].id, 2u);
    EXPECT_EQ(config.filters[2].mask, 0x100u);

    EXPECT_FALSE(table.MoveUp(0));
    EXPECT_FALSE(table.MoveDown(3));  // the last entry
    EXPECT_FALSE(table.MoveDown(-1));
}

TEST(FilterTable, EditKeepsASharedSlotOnItsGroupMaskAndRunsAlsoWhenCancelled) {
    ConfigRecord config = RecordWith(4);
    FilterTable table(config);
    table.SyncSharedMasks();
    ScriptedEditor editor;
    // An editor that writes the mask anyway cannot break the sharing of slot 3.
    const FilterEditor stubborn = [](FilterEntry& entry, bool, int) {
        entry.mask = 0xDEAD;
        return true;
    };
    ASSERT_TRUE(table.Edit(3, stubborn));
    EXPECT_EQ(config.filters[3].mask, 0x102u);

    ASSERT_TRUE(table.Edit(2, editor.Function()));
    EXPECT_EQ(editor.calls.back().number, 2);
    EXPECT_TRUE(editor.calls.back().maskEditable);
    for (int slot = 2; slot < 6; ++slot) EXPECT_EQ(config.filters[slot].mask, editor.newMask);

    editor.confirm = false;
    EXPECT_TRUE(table.Edit(1, editor.Function()));
    EXPECT_FALSE(editor.calls.back().maskEditable);
    EXPECT_FALSE(table.Edit(4, editor.Function()));  // no such entry
    EXPECT_FALSE(FilterTable(config).Edit(-1, editor.Function()));
}
