#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "common/can_limits.h"

struct CANBuffer;
class FrameStore;

// What one identifier of one kind (standard or extended) has done on the bus. Times are device
// ticks of 0.5 us, as the frame records carry them; differences wrap as the device clock does.
struct IdentifierRow {
    static constexpr uint32_t kTicksPerMs = 1000 * kDeviceTicksPerUs;

    uint32_t id = 0;
    bool extended = false;
    uint8_t dlc = 0;
    std::array<uint8_t, 8> data{};
    // Bit i: data byte i has changed at least once; changedAt[i] tells when it last did.
    uint8_t changedBytes = 0;
    std::array<uint32_t, 8> changedAt{};
    uint64_t count = 0;
    uint32_t lastTicks = 0;
    uint64_t intervalSum = 0;
    uint32_t minInterval = 0;
    uint32_t maxInterval = 0;

    // Mean time between frames, and how far the shortest and longest one were from it; 0 with
    // fewer than two frames.
    double MeanPeriodMs() const;
    double JitterMinMs() const;
    double JitterMaxMs() const;
    bool ChangedWithinSecond(int byte, uint32_t nowTicks) const;
};

// Rows of every identifier seen, in the order of first appearance; one hash lookup per frame.
class IdentifierStats {
  public:
    // A received record; `arrivalMs` is the caller's millisecond clock, which ties device time
    // to the clock the caller reads later (time since last seen keeps running on a quiet bus).
    void Add(const CANBuffer& record, uint64_t arrivalMs);
    // The rows of every record the store holds, as if they had just arrived.
    void Rebuild(const FrameStore& store, uint64_t nowMs);
    void Clear();

    const std::vector<IdentifierRow>& Rows() const { return rows_; }
    // Device time at the caller's `nowMs`, counted on from the newest frame.
    uint32_t DeviceNow(uint64_t nowMs) const;

  private:
    std::vector<IdentifierRow> rows_;
    std::unordered_map<uint64_t, size_t> indexByKey_;
    uint32_t latestTicks_ = 0;
    uint64_t latestArrivalMs_ = 0;
};
