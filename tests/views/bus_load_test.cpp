#include <gtest/gtest.h>

#include "session/can_buffer.h"
#include "views/bus_load_meter.h"
#include "views/frame_bits.h"

namespace {

CANBuffer Record(bool extended, uint8_t dlc, bool response = false, bool brief = false) {
    const uint8_t data[8] = {};
    return CANBuffer(0x123, response, extended, dlc, data, 0, brief);
}

// Worked by hand: fixed bits (47 standard, 67 extended) + 8 per data byte, plus one stuff bit
// per four after the first of the bits from start of frame to the end of the CRC (all but the
// 13 bits of delimiters, ACK, end of frame and intermission).
TEST(FrameBitsOnWire, KnownFrames) {
    struct Case {
        const char* name;
        CANBuffer record;
        uint32_t bits;
    } cases[] = {
        {"standard, 8 bytes: 111 + (98-1)/4", Record(false, 8), 135},
        {"standard, no data: 47 + (34-1)/4", Record(false, 0), 55},
        {"standard, 2 bytes: 63 + (50-1)/4", Record(false, 2), 75},
        {"extended, 8 bytes: 131 + (118-1)/4", Record(true, 8), 160},
        {"extended, no data: 67 + (54-1)/4", Record(true, 0), 80},
        {"standard response with DLC 8 carries no data", Record(false, 8, true), 55},
        {"extended response with DLC 4 carries no data", Record(true, 4, true), 80},
        {"DLC 12 carries eight bytes", Record(false, 12), 135},
        {"brief record counts without data", Record(true, 0, false, true), 80},
    };
    for (const Case& c : cases) EXPECT_EQ(FrameBitsOnWire(c.record), c.bits) << c.name;
}

TEST(BusLoadMeter, CountsTheLastWholeSecond) {
    BusLoadMeter meter;
    const CANBuffer frame = Record(false, 8);  // 135 bits
    meter.Count(frame, false, 500);            // more than a second before the measure
    for (uint64_t ms = 1000; ms < 2000; ms += 10) meter.Count(frame, false, ms);
    for (uint64_t ms = 1000; ms < 2000; ms += 100) meter.Count(frame, true, ms);
    meter.Count(frame, false, 2050);  // in the slot still filling

    const BusLoadMeter::Rates rates = meter.Measure(2050, 500000);
    EXPECT_EQ(rates.receivedPerSecond, 100u);
    EXPECT_EQ(rates.transmittedPerSecond, 10u);
    EXPECT_DOUBLE_EQ(rates.loadPercent, 100.0 * 110 * 135 / 500000);  // 2.97 %

    EXPECT_DOUBLE_EQ(meter.Measure(2050, 0).loadPercent, 0);
    EXPECT_EQ(meter.Measure(3050, 500000).receivedPerSecond, 1u);  // the frame at 2050
    EXPECT_EQ(meter.Measure(3200, 500000).receivedPerSecond, 0u);
    EXPECT_EQ(meter.Measure(2150, 500000).receivedPerSecond, 91u);
    meter.Clear();
    EXPECT_EQ(meter.Measure(2150, 500000).receivedPerSecond, 0u);
}

}  // namespace
