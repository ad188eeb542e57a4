#pragma once

#include <functional>
#include <string>
#include <vector>

#include "config/config_record.h"

// Opens the filter editor on `entry` (the slot number is its caption); true when the user
// confirmed, and the entry then holds the new values.
using FilterEditor = std::function<bool(FilterEntry& entry, bool maskEditable, int number)>;

// The acceptance filter list over the configuration record's `filters` and `filterCount`.
// The device's six fast filters share masks in two groups: slot 1 uses slot 0's mask and
// slots 3 to 5 use slot 2's. Every operation that changes the list leaves them in step.
// Each command returns true when it was carried out, so the caller redraws and uploads the
// list; false means it did nothing (full list, no such entry, nowhere to move).
class FilterTable {
  public:
    static constexpr uint32_t kNewEntryMask = 0x1FFF0000;

    explicit FilterTable(ConfigRecord& config) : config_(config) {}

    int Count() const { return config_.filterCount; }
    bool CanAdd() const { return Count() < ConfigRecord::kMaxFilters; }
    // The slot whose mask `slot` uses, or -1 when it owns its mask.
    static int MaskOwner(int slot);

    // Offers a new entry (id 0, mask 0x1FFF0000, extended; a shared slot starts with and keeps
    // its group's mask) and appends it when confirmed. Carried out also when cancelled.
    bool Add(const FilterEditor& edit);
    bool Delete(int selected);
    // Edits the entry in place; carried out also when cancelled.
    bool Edit(int selected, const FilterEditor& edit);
    bool MoveUp(int selected);
    bool MoveDown(int selected);

    // Copies slot 0's mask to slot 1 and slot 2's to slots 3 to 5, used or not.
    void SyncSharedMasks();
    std::vector<std::string> ListLines() const;

  private:
    bool IsEntry(int index) const { return index >= 0 && index < Count(); }
    void Swap(int first, int second);

    ConfigRecord& config_;
};
