#include "transmit/precise_ticker.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Periods that pass while the event loop is busy elsewhere (a long repaint, a modal box being
// built) must not come out as a burst of frames, and a stopped or restarted run must not send
// a frame for a period of the old run.
TEST(PreciseTicker, MissedPeriodsGiveOneTickAndStopOrRestartForgetsThem) {
    PreciseTicker ticker;
    int ticks = 0;
    QObject::connect(&ticker, &PreciseTicker::timeout, [&] { ++ticks; });
    ticker.start(5);
    EXPECT_TRUE(ticker.isActive());
    EXPECT_EQ(ticker.interval(), 5);

    std::this_thread::sleep_for(50ms);  // ten periods without the event loop
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 1);

    std::this_thread::sleep_for(20ms);
    ticker.stop();
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(ticker.isActive());

    ticker.start(5);
    std::this_thread::sleep_for(20ms);
    ticker.start(1000);  // the first tick is a whole new period away
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(ticker.interval(), 1000);
}

}  // namespace
