#include "views/identifier_stats.h"

#include <gtest/gtest.h>

#include "session/can_buffer.h"
#include "session/frame_store.h"
#include "views/identifier_filter.h"

namespace {

constexpr uint32_t kTicksPerMs = IdentifierRow::kTicksPerMs;

CANBuffer At(uint32_t ms, uint32_t id, bool extended, std::vector<uint8_t> data) {
    return CANBuffer(id, false, extended, static_cast<uint8_t>(data.size()), data.data(),
                     ms * kTicksPerMs);
}

// 0x100 standard four times (10, 10 and 15 ms apart, its second byte changing at 20 ms),
// 0x100 extended twice 1500 ms apart, 0x7FF once.
std::vector<CANBuffer> Script() {
    return {At(0, 0x100, false, {1, 2}),  At(5, 0x100, true, {9}),
            At(10, 0x100, false, {1, 2}), At(20, 0x100, false, {1, 3}),
            At(35, 0x100, false, {1, 3}), At(1000, 0x7FF, false, {7}),
            At(1505, 0x100, true, {9})};
}

TEST(IdentifierStats, CountsPeriodsJitterAndChangedBytesOfAScriptedSequence) {
    IdentifierStats stats;
    for (const CANBuffer& record : Script())
        stats.Add(record, 50000 + record.timestamp / kTicksPerMs);
    ASSERT_EQ(stats.Rows().size(), 3u);  // the same number as standard and as extended: two rows

    const IdentifierRow& standard = stats.Rows()[0];
    EXPECT_EQ(standard.id, 0x100u);
    EXPECT_FALSE(standard.extended);
    EXPECT_EQ(standard.count, 4u);
    EXPECT_DOUBLE_EQ(standard.MeanPeriodMs(), 35.0 / 3);
    EXPECT_DOUBLE_EQ(standard.JitterMinMs(), 10 - 35.0 / 3);
    EXPECT_DOUBLE_EQ(standard.JitterMaxMs(), 15 - 35.0 / 3);
    EXPECT_FALSE(standard.ChangedWithinSecond(0, 500 * kTicksPerMs));
    EXPECT_TRUE(standard.ChangedWithinSecond(1, 1019 * kTicksPerMs));
    EXPECT_FALSE(standard.ChangedWithinSecond(1, 1020 * kTicksPerMs));

    const IdentifierRow& extended = stats.Rows()[1];
    EXPECT_TRUE(extended.extended);
    EXPECT_EQ(extended.count, 2u);
    EXPECT_DOUBLE_EQ(extended.MeanPeriodMs(), 1500);
    EXPECT_DOUBLE_EQ(extended.JitterMaxMs(), 0);
    EXPECT_FALSE(extended.ChangedWithinSecond(0, 1505 * kTicksPerMs));

    const IdentifierRow& single = stats.Rows()[2];
    EXPECT_EQ(single.count, 1u);
    EXPECT_EQ(single.MeanPeriodMs(), 0);  // no period from one frame

    // Device time runs on from the newest frame by the caller's clock.
    EXPECT_EQ(stats.DeviceNow(51505 + 200), 1705 * kTicksPerMs);

    // Rebuilt from a store holding the same frames, the rows are the same.
    FrameStore store;
    for (const CANBuffer& record : Script()) store.Append(record);
    IdentifierStats rebuilt;
    rebuilt.Add(At(0, 0x555, false, {}), 0);  // gone after the rebuild
    rebuilt.Rebuild(store, 7000);
    ASSERT_EQ(rebuilt.Rows().size(), 3u);
    EXPECT_EQ(rebuilt.Rows()[0].count, 4u);
    EXPECT_EQ(rebuilt.Rows()[0].minInterval, standard.minInterval);
    EXPECT_EQ(rebuilt.DeviceNow(7000), 1505 * kTicksPerMs);
}

TEST(IdentifierStats, ChangedBytesAcrossALengthChangeAndAWrappingClock) {
    IdentifierStats stats;
    stats.Add(CANBuffer(0x10, false, false, 1, std::vector<uint8_t>{5}.data(), 0xFFFFF000u), 0);
    stats.Add(CANBuffer(0x10, false, false, 2, std::vector<uint8_t>{5, 6}.data(), 0x00001000u), 0);
    const IdentifierRow& row = stats.Rows()[0];
    EXPECT_EQ(row.maxInterval, 0x2000u);  // across the wrap of the device clock
    EXPECT_FALSE(row.ChangedWithinSecond(0, 0x1000u));
    EXPECT_TRUE(row.ChangedWithinSecond(1, 0x1000u));  // a byte the frame before did not have
}

TEST(IdentifierFilter, PrefixesRangesAndBadText) {
    struct Case {
        const char* text;
        uint32_t id;
        bool passes;
    } cases[] = {
        {"", 0x123, true},
        {"  ", 0x1FFFFFFF, true},
        {"12", 0x12, true},
        {"12", 0x123, true},
        {"12", 0x12345678, true},
        {"12", 0x312, false},
        {"0x18ef", 0x18EF2000, true},
        {"18EF", 0x118EF200, false},
        {"100-1ff", 0x100, true},
        {"100-1FF", 0x1FF, true},
        {"100-1FF", 0x200, false},
        {"100-1FF", 0xFF, false},
        {"x", 0x0, false},
        {"12-", 0x12, false},
        {"123456789", 0x12345678, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IdentifierFilter(c.text).Passes(c.id), c.passes) << c.text << " " << c.id;
    EXPECT_FALSE(IdentifierFilter("G1").Valid());
    EXPECT_TRUE(IdentifierFilter("7-7FF").Valid());
}

}  // namespace
