#include "session/frame_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "session_fixture.h"

namespace {

using FrameStoreTest = SessionTest;

// A received 'F' whose data bytes carry `n`, so stored frames can be told apart.
std::vector<uint8_t> FramePayload(uint32_t n) {
    return {0x00,
            0x24,
            0x60,
            0x00,
            0x00,
            0x04,
            static_cast<uint8_t>(n),
            static_cast<uint8_t>(n >> 8),
            static_cast<uint8_t>(n >> 16),
            0x00,
            0,
            0,
            0,
            0,
            0,
            0,
            0,
            0};
}

uint32_t NumberOf(const CANBuffer& record) {
    return record.data[0] | record.data[1] << 8 | record.data[2] << 16;
}

size_t LimitCalls(const FakeSessionHost& host) {
    return static_cast<size_t>(
        std::count(host.shownFrames.begin(), host.shownFrames.end(), nullptr));
}

TEST_F(FrameStoreTest, KeepsFiftyThousandFramesThenOnlyCounts) {
    Connect();
    for (uint32_t n = 0; n < FrameStore::kLimit; ++n) Receive('F', FramePayload(n));

    const FrameStore& store = session.frames();
    ASSERT_EQ(store.Size(), FrameStore::kLimit);
    EXPECT_EQ(session.count, FrameStore::kLimit);
    EXPECT_EQ(host.shownFrames.size(), FrameStore::kLimit);
    EXPECT_EQ(LimitCalls(host), 0u);
    EXPECT_EQ(host.shownFrames.back(), session.head());
    EXPECT_EQ(session.head()->sequence, FrameStore::kLimit - 1);
    EXPECT_EQ(NumberOf(*session.head()), FrameStore::kLimit - 1);
    EXPECT_EQ(NumberOf(store[0]), 0u);

    // The 50001st: the host hears of the limit once, and the frame is not kept.
    Receive('F', FramePayload(FrameStore::kLimit));
    EXPECT_EQ(host.shownFrames.size(), FrameStore::kLimit + 1);
    EXPECT_EQ(host.shownFrames.back(), nullptr);
    EXPECT_EQ(store.Size(), FrameStore::kLimit);
    EXPECT_EQ(session.count, FrameStore::kLimit + 1);

    // The 50002nd and later only count.
    Receive('H', FramePayload(0));
    Receive('F', FramePayload(0));
    EXPECT_EQ(host.shownFrames.size(), FrameStore::kLimit + 1);
    EXPECT_EQ(session.count, FrameStore::kLimit + 3);
    EXPECT_EQ(NumberOf(*session.head()), FrameStore::kLimit - 1);

    // A clear starts again at sequence 0, and the limit applies afresh.
    session.ClearFrames();
    EXPECT_EQ(session.count, 0u);
    EXPECT_EQ(session.head(), nullptr);
    EXPECT_TRUE(store.Empty());
    host.shownFrames.clear();
    for (uint32_t n = 0; n <= FrameStore::kLimit; ++n) Receive('F', FramePayload(n));
    EXPECT_EQ(store[0].sequence, 0u);
    EXPECT_EQ(store.Size(), FrameStore::kLimit);
    EXPECT_EQ(LimitCalls(host), 1u);
}

TEST_F(FrameStoreTest, FramesHandledWhileTheLimitIsShownOnlyCount) {
    Connect();
    session.count = FrameStore::kLimit;
    bool shown = false;
    host.whileLimitShown = [&] {
        if (std::exchange(shown, true)) return;  // a second box would only nest
        Receive('F', FramePayload(1));
        Receive('F', FramePayload(2));
    };
    Receive('F', FramePayload(0));
    EXPECT_EQ(LimitCalls(host), 1u);
    EXPECT_EQ(session.count, FrameStore::kLimit + 3);
    EXPECT_TRUE(session.frames().Empty());
}

TEST_F(FrameStoreTest, CountStopsAtItsLargestValueInsteadOfStoringAgain) {
    Connect();
    session.count = UINT32_MAX - 1;
    Receive('F', FramePayload(1));
    Receive('F', FramePayload(2));
    Receive('F', FramePayload(3));
    EXPECT_EQ(session.count, UINT32_MAX);
    EXPECT_TRUE(session.frames().Empty());
    EXPECT_TRUE(host.shownFrames.empty());
}

TEST_F(FrameStoreTest, FramesWhileNotConnectedAreIgnored) {
    host.OpenLink();
    Receive('F', FramePayload(1));
    Receive('H', FramePayload(2));
    Receive('K');
    EXPECT_EQ(session.count, 0u);
    EXPECT_TRUE(session.frames().Empty());
    EXPECT_TRUE(host.shownFrames.empty());
    EXPECT_TRUE(device.written.empty());
}

}  // namespace
