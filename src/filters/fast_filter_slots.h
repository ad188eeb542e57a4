#pragma once

#include <array>
#include <string>
#include <vector>

#include "common/filter_slots.h"
#include "config/config_record.h"

using FastFilterSlots = std::array<FilterEntry, kFilterSlots>;

// Places up to six filters, each with a mask of its own choosing, in the device's fast filter
// slots, whose masks are shared in groups (FilterGroupLeader): filters with equal masks go
// to one group, and a group's unused slots repeat one of its filters, so the device passes
// exactly the frames that one of the given filters passes. Filters in the order given where
// they fit so. False with `error` saying why when the filters cannot be placed (too many, more
// masks than groups, or more filters with one mask than its group holds); `slots` is then
// unchanged.
bool PlaceFastFilters(const std::vector<FilterEntry>& filters, FastFilterSlots& slots,
                      std::string& error);
