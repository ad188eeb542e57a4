#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <string>
#include <vector>

#include "session/can_buffer.h"
#include "transmit/tx_list_runner.h"

namespace {

// The list, the Loop Msgs box and the session as the runner sees them; each frame line's
// identifier tells which line went out.
struct TxListRunnerTest : testing::Test {
    std::vector<std::string> lines;
    bool loop = false;
    std::vector<uint32_t> sent;
    std::vector<bool> acks;
    bool stopShown = false;
    std::function<void()> onTransmit;

    TxListRunner runner{{
        [this] { return static_cast<int>(lines.size()); },
        [this](int index) {
            return index < static_cast<int>(lines.size()) ? lines[index] : std::string();
        },
        [this] { return loop; },
        [this](const CANBuffer& record, bool ack) {
            sent.push_back(record.id);
            acks.push_back(ack);
            if (onTransmit) onTransmit();
        },
        [this](bool visible) { stopShown = visible; },
    }};

    // Runs one tick and returns what it sent.
    std::vector<uint32_t> Tick() {
        sent.clear();
        runner.TxTimerTick();
        return sent;
    }
};

using Sent = std::vector<uint32_t>;

}  // namespace

TEST_F(TxListRunnerTest, ThreeFramesOnceThenTheRunEndsOneGapAfterTheLast) {
    lines = {"1,0,0,0", "2,0,0,0", "3,0,0,0"};
    runner.TransmitAll(100);
    EXPECT_EQ(sent, Sent{1});
    EXPECT_EQ(acks, std::vector<bool>{false});
    EXPECT_TRUE(stopShown);
    EXPECT_TRUE(runner.Timer().isActive());
    EXPECT_EQ(runner.Timer().interval(), 100);
    EXPECT_EQ(runner.Timer().timerType(), Qt::PreciseTimer);
    EXPECT_FALSE(runner.Timer().isSingleShot());

    EXPECT_EQ(Tick(), Sent{2});
    EXPECT_EQ(Tick(), Sent{3});
    EXPECT_TRUE(runner.Running());
    EXPECT_EQ(Tick(), Sent{});  // the end is found on the tick after the last frame
    EXPECT_FALSE(runner.Running());
    EXPECT_EQ(runner.Position(), -1);
    EXPECT_FALSE(stopShown);
    EXPECT_FALSE(runner.Timer().isActive());
    EXPECT_EQ(Tick(), Sent{});  // a stray call after the end sends nothing
}

TEST_F(TxListRunnerTest, LoopStartsAgainAtLineZeroOneGapAfterTheLastFrame) {
    lines = {"1,0,0,0", "2,0,0,0", "3,0,0,0"};
    loop = true;
    runner.TransmitAll(100);
    EXPECT_EQ(Tick(), Sent{2});
    EXPECT_EQ(Tick(), Sent{3});
    EXPECT_EQ(Tick(), Sent{1});
    EXPECT_EQ(Tick(), Sent{2});
    // Loop Msgs is read only at the end: clearing it now decides how this pass ends.
    loop = false;
    EXPECT_EQ(Tick(), Sent{3});
    EXPECT_EQ(Tick(), Sent{});
    EXPECT_FALSE(runner.Running());
}

TEST_F(TxListRunnerTest, CommentAndBlankLinesCostNoTick) {
    lines = {"1,0,0,0", "; comment", "", "  ", "2,0,0,0"};
    runner.TransmitAll(10);
    EXPECT_EQ(sent, Sent{1});
    EXPECT_EQ(Tick(), Sent{2});
    EXPECT_EQ(Tick(), Sent{});
    EXPECT_FALSE(runner.Running());
}

TEST_F(TxListRunnerTest, ACommentFirstMakesEveryPassStartWithAnEmptyTick) {
    lines = {"; header", "1,0,0,0", "2,0,0,0"};
    loop = true;
    runner.TransmitAll(10);
    EXPECT_EQ(sent, Sent{});
    EXPECT_TRUE(stopShown);
    EXPECT_EQ(Tick(), Sent{1});
    EXPECT_EQ(Tick(), Sent{2});
    EXPECT_EQ(Tick(), Sent{});  // end: back to line 0, the comment
    EXPECT_EQ(Tick(), Sent{1});
}

TEST_F(TxListRunnerTest, AnEmptyListEndsAtTheFirstTickOrLoopsOnSendingNothing) {
    runner.TransmitAll(1);
    EXPECT_TRUE(runner.Running());
    EXPECT_EQ(Tick(), Sent{});
    EXPECT_FALSE(runner.Running());

    loop = true;
    runner.TransmitAll(1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Tick(), Sent{});
    EXPECT_TRUE(runner.Running());
    runner.Stop();
    EXPECT_FALSE(runner.Running());
    EXPECT_FALSE(stopShown);
    runner.Stop();  // safe when idle
}

TEST_F(TxListRunnerTest, TransmitAllDuringARunRestartsAtLineZeroWithTheNewGap) {
    lines = {"1,0,0,0", "2,0,0,0", "3,0,0,0"};
    runner.TransmitAll(100);
    Tick();
    sent.clear();
    runner.TransmitAll(250);
    EXPECT_EQ(sent, Sent{1});
    EXPECT_EQ(runner.Position(), 0);
    EXPECT_EQ(runner.Timer().interval(), 250);
    EXPECT_EQ(Tick(), Sent{2});
}

TEST_F(TxListRunnerTest, LinesDeletedDuringARunMakeTheNextTickTheEnd) {
    lines = {"1,0,0,0", "2,0,0,0", "3,0,0,0", "4,0,0,0"};
    runner.TransmitAll(10);
    Tick();
    Tick();  // position 2
    lines.resize(1);
    EXPECT_EQ(Tick(), Sent{});
    EXPECT_FALSE(runner.Running());
}

TEST_F(TxListRunnerTest, ARunStoppedWhileSendingSendsNothingMore) {
    // A disconnect inside the session's transmit stops the run in the middle of a tick.
    lines = {"; a", "1,0,0,0", "; b", "2,0,0,0"};
    loop = true;
    runner.TransmitAll(10);
    onTransmit = [this] { runner.Stop(); };
    EXPECT_EQ(Tick(), Sent{1});
    EXPECT_FALSE(runner.Running());
    EXPECT_FALSE(stopShown);
}

TEST_F(TxListRunnerTest, TransmitTxLineBuildsTheFrameOrReportsNoFrame) {
    lines = {"18EF20A3,1,1,3,FD,A0,0F; note", "; comment"};
    CANBuffer last;
    TxListRunner probe{{
        [this] { return static_cast<int>(lines.size()); },
        [this](int index) { return index < 2 ? lines[index] : std::string(); },
        [] { return false; },
        [&last](const CANBuffer& record, bool) { last = record; },
        [](bool) {},
    }};
    EXPECT_TRUE(probe.TransmitTxLine(0, true));
    EXPECT_EQ(last.id, 0x18EF20A3u);
    EXPECT_EQ(last.extended, 1);
    EXPECT_EQ(last.response, 1);
    EXPECT_EQ(last.dlc, 3);
    EXPECT_EQ(last.data[2], 0x0F);
    EXPECT_EQ(last.timestamp, 0u);
    EXPECT_EQ(last.brief, 0);
    EXPECT_EQ(last.control, 0);
    EXPECT_FALSE(probe.TransmitTxLine(1, true));
    EXPECT_FALSE(probe.TransmitTxLine(2, true));
    EXPECT_FALSE(probe.TransmitTxLine(-1, true));
    EXPECT_FALSE(probe.Running());  // a single line starts no run

    EXPECT_TRUE(runner.TransmitTxLine(0, true));
    EXPECT_EQ(acks, std::vector<bool>{true});
}

TEST_F(TxListRunnerTest, TheTimerDrivesTheRunToItsEnd) {
    lines = {"1,0,0,0", "; comment", "2,0,0,0", "3,0,0,0"};
    runner.TransmitAll(1);
    QElapsedTimer waited;
    waited.start();
    while (runner.Running() && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_FALSE(runner.Running());
    EXPECT_EQ(sent, (Sent{1, 2, 3}));
}

TEST(TxGapFromText, ReadsAnIntegerOrFallsBackToOneMillisecond) {
    EXPECT_EQ(TxGapFromText("250"), 250);
    EXPECT_EQ(TxGapFromText("50000"), 50000);
    EXPECT_EQ(TxGapFromText(" 100 "), 100);
    EXPECT_EQ(TxGapFromText("abc"), 1);
    EXPECT_EQ(TxGapFromText("10ms"), 1);
    EXPECT_EQ(TxGapFromText(""), 1);
    EXPECT_EQ(TxGapFromText("99999999999"), 1);
    // Below 1 ms a periodic timer would spin; the gap never goes below 1.
    EXPECT_EQ(TxGapFromText("0"), 1);
    EXPECT_EQ(TxGapFromText("-5"), 1);
}
