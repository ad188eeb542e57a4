#include "replay_source.h"

#include <gtest/gtest.h>

TEST(ReplaySource, KeepsTheLogsSpacingOrGoesUnpaced) {
    std::vector<LogFrame> frames(4);
    frames[0].timeUs = 5000000;
    frames[1].timeUs = 5002500;
    frames[2].timeUs = 5001000;  // the log's clock steps back
    frames[3].timeUs = 5010000;
    for (size_t i = 0; i < frames.size(); ++i) frames[i].frame.id = static_cast<uint32_t>(i);

    ReplaySource paced(frames, false);
    EXPECT_TRUE(paced.Paced());
    std::vector<uint64_t> due;
    TimedFrame next;
    while (paced.Next(next)) due.push_back(next.dueUs);
    EXPECT_EQ(due, (std::vector<uint64_t>{0, 2500, 2500, 10000}));

    ReplaySource fast(frames, true);
    EXPECT_FALSE(fast.Paced());
    uint32_t expectedId = 0;
    while (fast.Next(next)) {
        EXPECT_EQ(next.frame.id, expectedId++);
        EXPECT_EQ(next.dueUs, 0u);
    }
    EXPECT_EQ(expectedId, 4u);
}
