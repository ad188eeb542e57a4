#include "views/bus_load_meter.h"

#include "views/frame_bits.h"

BusLoadMeter::Slot& BusLoadMeter::SlotAt(uint64_t nowMs) {
    const uint64_t index = nowMs / kSlotMs;
    Slot& slot = slots_[index % kSlots];
    if (slot.index != index) slot = Slot{index};
    return slot;
}

void BusLoadMeter::Count(const CANBuffer& record, bool transmitted, uint64_t nowMs) {
    Slot& slot = SlotAt(nowMs);
    ++(transmitted ? slot.transmitted : slot.received);
    slot.bits += FrameBitsOnWire(record);
}

BusLoadMeter::Rates BusLoadMeter::Measure(uint64_t nowMs, int32_t busRate) const {
    // The current slot is still filling: the second is the slots before it.
    const uint64_t current = nowMs / kSlotMs;
    Rates rates;
    uint64_t bits = 0;
    for (const Slot& slot : slots_) {
        if (slot.index >= current || slot.index + kSlotsPerSecond < current) continue;
        rates.receivedPerSecond += slot.received;
        rates.transmittedPerSecond += slot.transmitted;
        bits += slot.bits;
    }
    if (busRate > 0) rates.loadPercent = 100.0 * static_cast<double>(bits) / busRate;
    return rates;
}

void BusLoadMeter::Clear() {
    slots_ = {};
}
