#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

struct CANBuffer;

// Frames per second received and transmitted, and the share of the bus they took, over the
// last whole second. Frames are counted into 100 ms slots by the millisecond clock the caller
// gives, so the cost per frame is constant at any rate.
class BusLoadMeter {
  public:
    struct Rates {
        uint32_t receivedPerSecond = 0;
        uint32_t transmittedPerSecond = 0;
        // Percent of `busRate` bit/s taken by the frames of both directions.
        double loadPercent = 0;
    };

    void Count(const CANBuffer& record, bool transmitted, uint64_t nowMs);
    // The second that ends at `nowMs`, at `busRate` bit/s (0 gives no load).
    Rates Measure(uint64_t nowMs, int32_t busRate) const;
    void Clear();

  private:
    static constexpr uint64_t kSlotMs = 100;
    static constexpr uint64_t kSlotsPerSecond = 10;
    // One more than a second's worth: the slot still filling never overwrites the oldest one
    // that is measured.
    static constexpr size_t kSlots = kSlotsPerSecond + 1;
    struct Slot {
        uint64_t index = 0;  // nowMs / kSlotMs of the frames counted here
        uint32_t received = 0;
        uint32_t transmitted = 0;
        uint64_t bits = 0;
    };
    Slot& SlotAt(uint64_t nowMs);

    std::array<Slot, kSlots> slots_{};
};
