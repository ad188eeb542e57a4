#include "transmit/tx_list_runner.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <string>
#include <vector>

#include "session/can_buffer.h"

namespace {

using Sent = std::vector<uint32_t>;

// The list, the Loop Msgs box and the session as the runner sees them; a frame line's
// identifier tells which line went out.
struct TxListRunnerTest : testing::Test {
    std::vector<std::string> lines;
    bool loop = false;
    Sent sent;
    std::vector<bool> acks;
    bool stopShown = false;
    std::function<void()> onTransmit;
    bool room = true;  // in the output buffer

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
        [this](const CANBuffer&, bool) { return room; },
    }};

    // Runs one command ('A' Transmit All, 'T' a tick) and returns what it sent.
    Sent Do(char command) {
        sent.clear();
        if (command == 'A') runner.TransmitAll(100);
        if (command == 'T') runner.TxTimerTick();
        return sent;
    }
};

struct Step {
    char command;
    Sent sent;
    bool runningAfter;
};

struct Scenario {
    const char* name;
    std::vector<std::string> lines;
    bool loop;
    std::vector<Step> steps;
};

}  // namespace

TEST_F(TxListRunnerTest, TickSequences) {
    const std::vector<std::string> three = {"1,0,0,0", "2,0,0,0", "3,0,0,0"};
    const std::vector<Scenario> scenarios = {
        // The end is found on the tick after the last frame.
        {"once",
         three,
         false,
         {{'A', {1}, true}, {'T', {2}, true}, {'T', {3}, true}, {'T', {}, false}}},
        {"loop",
         three,
         true,
         {{'A', {1}, true}, {'T', {2}, true}, {'T', {3}, true}, {'T', {1}, true}}},
        {"comments cost no tick",
         {"1,0,0,0", "; c", "", "  ", "2,0,0,0"},
         false,
         {{'A', {1}, true}, {'T', {2}, true}, {'T', {}, false}}},
        {"comment first",
         {"; header", "1,0,0,0", "2,0,0,0"},
         true,
         {{'A', {}, true}, {'T', {1}, true}, {'T', {2}, true}, {'T', {}, true}, {'T', {1}, true}}},
        {"empty once", {}, false, {{'A', {}, true}, {'T', {}, false}}},
        {"empty loop", {}, true, {{'A', {}, true}, {'T', {}, true}, {'T', {}, true}}},
        {"restart",
         three,
         false,
         {{'A', {1}, true}, {'T', {2}, true}, {'A', {1}, true}, {'T', {2}, true}}},
        {"tick when idle", three, false, {{'T', {}, false}}},
    };
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        runner.Stop();
        lines = scenario.lines;
        loop = scenario.loop;
        for (size_t i = 0; i < scenario.steps.size(); ++i) {
            const Step& step = scenario.steps[i];
            EXPECT_EQ(Do(step.command), step.sent) << "step " << i;
            EXPECT_EQ(runner.Running(), step.runningAfter) << "step " << i;
            EXPECT_EQ(stopShown, step.runningAfter) << "step " << i;
            EXPECT_EQ(runner.Timer().isActive(), step.runningAfter) << "step " << i;
        }
    }
    EXPECT_EQ(std::count(acks.begin(), acks.end(), true), 0);  // a run never asks for 'K'
}

TEST_F(TxListRunnerTest, ChangesDuringARunTakeEffectAtOnce) {
    lines = {"1,0,0,0", "2,0,0,0", "3,0,0,0"};
    loop = true;
    Do('A');
    EXPECT_EQ(runner.Timer().interval(), 100);
    Do('T');
    // Loop Msgs is read only at the end: clearing it now decides how this pass ends.
    loop = false;
    EXPECT_EQ(Do('T'), Sent{3});
    EXPECT_EQ(Do('T'), Sent{});
    EXPECT_FALSE(runner.Running());

    // Lines deleted so that the position is past the end: the next tick is the end.
    lines = {"1,0,0,0", "2,0,0,0", "3,0,0,0", "4,0,0,0"};
    Do('A');
    Do('T');
    Do('T');
    lines.resize(1);
    EXPECT_EQ(Do('T'), Sent{});
    EXPECT_FALSE(runner.Running());

    // A disconnect inside the session's transmit stops the run in the middle of a tick.
    lines = {"; a", "1,0,0,0", "; b", "2,0,0,0"};
    loop = true;
    Do('A');
    onTransmit = [this] { runner.Stop(); };
    EXPECT_EQ(Do('T'), Sent{1});
    EXPECT_FALSE(runner.Running());
}

TEST_F(TxListRunnerTest, AFrameWithoutRoomWaitsForALaterTickInsteadOfBeingDropped) {
    lines = {"1,0,0,0", "; comment", "2,0,0,0"};
    loop = true;
    // Each step: is there room, and what goes out.
    const std::vector<std::pair<bool, Sent>> steps = {{true, {2}}, {false, {}}, {false, {}},
                                                      {true, {1}}, {false, {}}, {true, {2}}};
    room = false;
    EXPECT_EQ(Do('A'), Sent{});
    EXPECT_TRUE(runner.Running());
    room = true;
    EXPECT_EQ(Do('T'), Sent{1}) << "line 0 waited for room";
    for (const auto& [roomNow, expected] : steps) {
        room = roomNow;
        EXPECT_EQ(Do('T'), expected);
    }
    runner.Stop();
}

TEST_F(TxListRunnerTest, TransmitTxLineBuildsTheFrameOrReportsNoFrame) {
    lines = {"18EF20A3,1,1,3,FD,A0,0F; note", "; comment"};
    CANBuffer last;
    TxListRunner probe{{[this] { return 2; }, [this](int index) { return lines.at(index); },
                        [] { return false; }, [&last](const CANBuffer& r, bool) { last = r; },
                        [](bool) {}, [](const CANBuffer&, bool) { return true; }}};
    EXPECT_TRUE(probe.TransmitTxLine(0, true));
    EXPECT_EQ(last.id, 0x18EF20A3u);
    EXPECT_EQ(last.extended, 1);
    EXPECT_EQ(last.response, 1);
    EXPECT_EQ(last.dlc, 3);
    EXPECT_EQ(last.data[2], 0x0F);
    EXPECT_EQ(last.timestamp, 0u);
    EXPECT_FALSE(probe.TransmitTxLine(1, true));
    EXPECT_FALSE(probe.TransmitTxLine(-1, true));
    EXPECT_FALSE(probe.Running());
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
    EXPECT_EQ(TxGapFromText(" 100 "), 100);
    EXPECT_EQ(TxGapFromText("abc"), 1);
    EXPECT_EQ(TxGapFromText("10ms"), 1);
    EXPECT_EQ(TxGapFromText(""), 1);
    EXPECT_EQ(TxGapFromText("99999999999"), 1);
    // Below 1 ms a periodic timer would spin; the gap never goes below 1.
    EXPECT_EQ(TxGapFromText("0"), 1);
    EXPECT_EQ(TxGapFromText("-5"), 1);
}
