#include "filters/filter_table.h"

#include <utility>

#include "common/filter_slots.h"
#include "filters/filter_text.h"

int FilterTable::MaskOwner(int slot) {
    if (slot >= kFilterSlots || FilterGroupLeader(slot) == slot) return -1;
    return FilterGroupLeader(slot);
}

bool FilterTable::Add(const FilterEditor& edit) {
    if (!CanAdd()) return false;
    const int slot = Count();
    FilterEntry entry;
    entry.id = 0;
    entry.mask = kNewEntryMask;
    entry.extended = 1;
    const int owner = MaskOwner(slot);
    if (owner >= 0) entry.mask = config_.filters[owner].mask;
    if (edit(entry, owner < 0, slot)) {
        config_.filters[slot] = entry;
        ++config_.filterCount;
    }
    SyncSharedMasks();
    return true;
}

bool FilterTable::Delete(int selected) {
    if (!IsEntry(selected)) return false;
    for (int i = selected; i + 1 < Count(); ++i) config_.filters[i] = config_.filters[i + 1];
    --config_.filterCount;
    SyncSharedMasks();
    return true;
}

bool FilterTable::Edit(int selected, const FilterEditor& edit) {
    if (!IsEntry(selected)) return false;
    edit(config_.filters[selected], MaskOwner(selected) < 0, selected);
    SyncSharedMasks();
    return true;
}

bool FilterTable::MoveUp(int selected) {
    if (!IsEntry(selected) || selected < 1) return false;
    Swap(selected, selected - 1);
    return true;
}

bool FilterTable::MoveDown(int selected) {
    if (!IsEntry(selected) || selected + 1 >= Count()) return false;
    Swap(selected, selected + 1);
    return true;
}

void FilterTable::Swap(int first, int second) {
    std::swap(config_.filters[first], config_.filters[second]);
    SyncSharedMasks();
}

void FilterTable::SyncSharedMasks() {
    for (int slot = 1; slot < kFilterSlots; ++slot) {
        const int owner = MaskOwner(slot);
        if (owner >= 0) config_.filters[slot].mask = config_.filters[owner].mask;
    }
}

std::vector<std::string> FilterTable::ListLines() const {
    std::vector<std::string> lines;
    for (int i = 0; i < Count(); ++i) lines.push_back(FilterListLine(config_.filters[i], i));
    return lines;
}
