#include "views/identifier_stats.h"

#include <algorithm>

#include "session/can_buffer.h"
#include "session/frame_store.h"

namespace {

double Ms(double ticks) {
    return ticks / IdentifierRow::kTicksPerMs;
}

}  // namespace

double IdentifierRow::MeanPeriodMs() const {
    return count < 2 ? 0 : Ms(static_cast<double>(intervalSum) / static_cast<double>(count - 1));
}

double IdentifierRow::JitterMinMs() const {
    return count < 2 ? 0 : Ms(minInterval) - MeanPeriodMs();
}

double IdentifierRow::JitterMaxMs() const {
    return count < 2 ? 0 : Ms(maxInterval) - MeanPeriodMs();
}

bool IdentifierRow::ChangedWithinSecond(int byte, uint32_t nowTicks) const {
    return (changedBytes & (1u << byte)) != 0 && nowTicks - changedAt[byte] < kDeviceTicksPerSecond;
}

void IdentifierStats::Add(const CANBuffer& record, uint64_t arrivalMs) {
    const uint64_t key = (static_cast<uint64_t>(record.extended ? 1 : 0) << 32) | record.id;
    const auto [found, isNew] = indexByKey_.try_emplace(key, rows_.size());
    if (isNew) rows_.push_back({.id = record.id, .extended = record.extended != 0});
    IdentifierRow& row = rows_[found->second];
    const size_t shown = std::min<size_t>(record.dlc, record.data.size());
    if (row.count > 0) {
        const uint32_t interval = record.timestamp - row.lastTicks;
        row.intervalSum += interval;
        row.minInterval = row.count == 1 ? interval : std::min(row.minInterval, interval);
        row.maxInterval = std::max(row.maxInterval, interval);
        const size_t before = std::min<size_t>(row.dlc, row.data.size());
        for (size_t i = 0; i < shown; ++i) {
            if (i < before && row.data[i] == record.data[i]) continue;
            row.changedBytes |= static_cast<uint8_t>(1u << i);
            row.changedAt[i] = record.timestamp;
        }
    }
    row.dlc = record.dlc;
    row.data = record.data;
    row.lastTicks = record.timestamp;
    ++row.count;
    latestTicks_ = record.timestamp;
    latestArrivalMs_ = arrivalMs;
}

void IdentifierStats::Rebuild(const FrameStore& store, uint64_t nowMs) {
    Clear();
    for (const CANBuffer& record : store) Add(record, nowMs);
}

void IdentifierStats::Clear() {
    rows_.clear();
    indexByKey_.clear();
    latestTicks_ = 0;
    latestArrivalMs_ = 0;
}

uint32_t IdentifierStats::DeviceNow(uint64_t nowMs) const {
    const uint64_t quietMs = nowMs > latestArrivalMs_ ? nowMs - latestArrivalMs_ : 0;
    return latestTicks_ + static_cast<uint32_t>(quietMs * IdentifierRow::kTicksPerMs);
}
