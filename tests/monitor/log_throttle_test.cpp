#include "monitor/log_throttle.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Line = LogThrottle::Line;

TEST(LogThrottle, SixFramesInOneSecondGiveFourLinesThenOneEllipsis) {
    LogThrottle throttle;
    std::vector<Line> lines;
    std::vector<bool> counterWrites;
    for (int i = 0; i < 6; ++i) {
        const LogThrottle::Outcome outcome = throttle.Received(false, true);
        lines.push_back(outcome.line);
        counterWrites.push_back(outcome.writeCounter);
    }
    EXPECT_EQ(lines, (std::vector<Line>{Line::Frame, Line::Frame, Line::Frame, Line::Frame,
                                        Line::Ellipsis, Line::None}));
    // Only the first two frames write the counter at once; the tick writes the rest.
    EXPECT_EQ(counterWrites, (std::vector<bool>{true, true, false, false, false, false}));
    EXPECT_TRUE(throttle.Tick());
    EXPECT_EQ(throttle.receivedCount(), 6);

    // The next second has a fresh budget, and a quiet second writes no counters.
    EXPECT_EQ(throttle.Received(false, true).line, Line::Frame);
    EXPECT_FALSE(throttle.Tick());
    EXPECT_FALSE(throttle.Tick());
}

TEST(LogThrottle, TransmittedAndReceivedFramesShareTheBudget) {
    LogThrottle throttle;
    std::vector<Line> lines;
    for (int i = 0; i < 3; ++i) {
        lines.push_back(throttle.Sent(true).line);
        lines.push_back(throttle.Received(false, true).line);
    }
    EXPECT_EQ(lines, (std::vector<Line>{Line::Frame, Line::Frame, Line::Frame, Line::Frame,
                                        Line::Ellipsis, Line::None}));
    EXPECT_EQ(throttle.transmittedCount(), 3);
    EXPECT_EQ(throttle.receivedCount(), 3);
}

TEST(LogThrottle, MissedIndicatorBlinksAndGoesFiveTicksAfterTheLastFlaggedFrame) {
    LogThrottle throttle;
    throttle.Received(true, true);  // tick count 0: even, hidden
    EXPECT_FALSE(throttle.missedVisible());
    std::vector<bool> shown;
    for (int i = 0; i < 3; ++i) {
        throttle.Tick();
        shown.push_back(throttle.missedVisible());
    }
    EXPECT_EQ(shown, (std::vector<bool>{false, true, false}));

    // A new flagged frame in an odd second shows it at once and starts the five ticks again.
    throttle.Received(true, true);
    EXPECT_TRUE(throttle.missedVisible());
    shown.clear();
    for (int i = 0; i < 6; ++i) {
        throttle.Tick();
        shown.push_back(throttle.missedVisible());
    }
    EXPECT_EQ(shown, (std::vector<bool>{true, false, true, false, false, false}));

    // Frames without the flag leave the indicator alone.
    throttle.Received(false, true);
    EXPECT_FALSE(throttle.missedVisible());
}

}  // namespace
