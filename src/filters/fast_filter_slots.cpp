#include "filters/fast_filter_slots.h"

#include <algorithm>

#include "common/text.h"

namespace {

// The slots of each mask group, the group's owner first.
std::vector<std::vector<int>> MaskGroups() {
    std::vector<std::vector<int>> groups;
    for (int slot = 0; slot < kFilterSlots; ++slot) {
        const int leader = FilterGroupLeader(slot);
        if (leader == slot) {
            groups.push_back({slot});
            continue;
        }
        for (std::vector<int>& group : groups)
            if (group.front() == leader) group.push_back(slot);
    }
    return groups;
}

// The filters of each distinct mask, masks in the order they first appear.
std::vector<std::vector<FilterEntry>> ByMask(const std::vector<FilterEntry>& filters) {
    std::vector<std::vector<FilterEntry>> byMask;
    for (const FilterEntry& filter : filters) {
        const auto same = std::find_if(byMask.begin(), byMask.end(), [&](const auto& members) {
            return members.front().mask == filter.mask;
        });
        if (same == byMask.end())
            byMask.push_back({filter});
        else
            same->push_back(filter);
    }
    return byMask;
}

std::string MaskText(uint32_t mask) {
    return FormatIdText(mask, true);
}

}  // namespace

bool PlaceFastFilters(const std::vector<FilterEntry>& filters, FastFilterSlots& slots,
                      std::string& error) {
    if (filters.empty() || filters.size() > slots.size()) {
        error = "the device takes 1 to " + std::to_string(slots.size()) + " filters";
        return false;
    }
    const std::vector<std::vector<int>> groups = MaskGroups();
    std::vector<std::vector<FilterEntry>> byMask = ByMask(filters);
    FastFilterSlots placed;
    if (byMask.size() == 1) {
        // One mask serves every group: the filters in order, the rest repeat the first.
        for (size_t slot = 0; slot < placed.size(); ++slot)
            placed[slot] = slot < filters.size() ? filters[slot] : filters.front();
        slots = placed;
        return true;
    }
    if (byMask.size() > groups.size()) {
        error = "the filters use " + std::to_string(byMask.size()) + " different masks; the " +
                "device holds " + std::to_string(groups.size());
        return false;
    }
    // Each mask takes a group of its own; the first order of masks over groups that fits wins.
    std::vector<size_t> order(groups.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    byMask.resize(groups.size());
    do {
        bool fits = true;
        for (size_t g = 0; g < groups.size(); ++g)
            fits = fits && byMask[order[g]].size() <= groups[g].size();
        if (!fits) continue;
        for (size_t g = 0; g < groups.size(); ++g) {
            const std::vector<FilterEntry>& members =
                byMask[order[g]].empty() ? byMask.front() : byMask[order[g]];
            for (size_t i = 0; i < groups[g].size(); ++i)
                placed[static_cast<size_t>(groups[g][i])] =
                    i < members.size() ? members[i] : members.front();
        }
        slots = placed;
        return true;
    } while (std::next_permutation(order.begin(), order.end()));

    error = "the filters do not fit the device's shared masks:";
    for (const std::vector<FilterEntry>& members : byMask)
        if (!members.empty())
            error += " " + std::to_string(members.size()) + " with mask " +
                     MaskText(members.front().mask) + ",";
    error.pop_back();
    error += "; the slots share masks in groups of";
    for (const std::vector<int>& group : groups) error += " " + std::to_string(group.size());
    return false;
}
