// The Transmit List tab of the real window running its list against ostrel-sim: the order of
// the frames and when they reach the simulator, read from its trace. The time bounds are
// generous sanity bounds against a broken schedule (a missing or extra gap), not a measure of
// precision; tests/app/transmit_list_timing_bench.cpp measures that.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>

#include "bench/event_loop_bench_support.h"
#include "link/serial.h"
#include "session/handle_can.h"
#include "sim_connected_form.h"
#include "support/named_child.h"
#include "transmit/transmit_list_page.h"

namespace {

constexpr int kTimeoutMs = 10000;
constexpr int kGapMs = 100;
// A late tick or a slow terminal moves a frame by a few milliseconds; a lost or extra gap
// moves it by a whole 100 ms.
constexpr double kToleranceMs = 40;

// A frame as it reached the simulator: which list line it was and when, in ms after the
// Transmit All it belongs to.
struct Arrival {
    uint32_t id;
    double atMs;
    uint8_t letter;  // 'F' without acknowledgement, 'G' with
};

class TransmitListEndToEndTest : public ::testing::Test {
  protected:
    // No generated traffic: the only packets from the window are its own.
    TransmitListEndToEndTest() : sim({"--count", "0"}) {}

    void SetUp() override {
        ASSERT_TRUE(sim.StartAndConnect());
        page().window()->findChild<QTabWidget*>("Tabs")->setCurrentWidget(&page());
        NamedChild<QComboBox>(page(), "cbGap")->setCurrentText(QString::number(kGapMs));
        QObject::connect(&stopButton(), &QAction::changed, &page(), [this] {
            if (!stopButton().isVisible()) stopHiddenUs = TraceClockUs();
        });
        framesBefore = sim.FramesFromPc().size();
    }

    TransmitListPage& page() { return sim.form.transmitListPage(); }
    QAction& stopButton() { return *sim.form.actions().bStopTx; }

    void TransmitAll() {
        transmitAllUs = TraceClockUs();
        stopHiddenUs.reset();
        NamedChild<QPushButton>(page(), "bTransmitAll")->click();
    }

    // Waits for `count` frames of this test's runs, and gives them relative to the last
    // Transmit All.
    std::vector<Arrival> WaitForFrames(size_t count) {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return sim.FramesFromPc().size() >= framesBefore + count; }, kTimeoutMs));
        std::vector<Arrival> arrivals;
        const std::vector<TracedPacket> frames = sim.FramesFromPc();
        for (size_t i = framesBefore; i < frames.size(); ++i)
            arrivals.push_back(
                {SentFrame(frames[i]).id, SinceTransmitAllMs(frames[i].timeUs), frames[i].letter});
        return arrivals;
    }

    double SinceTransmitAllMs(uint64_t us) const {
        return (static_cast<double>(us) - static_cast<double>(transmitAllUs)) / 1000.0;
    }

    static std::vector<uint32_t> Ids(const std::vector<Arrival>& arrivals) {
        std::vector<uint32_t> ids;
        for (const Arrival& arrival : arrivals) ids.push_back(arrival.id);
        return ids;
    }

    SimConnectedForm sim;
    size_t framesBefore = 0;
    uint64_t transmitAllUs = 0;
    std::optional<uint64_t> stopHiddenUs;
};

TEST_F(TransmitListEndToEndTest, ThreeFramesOneGapApartCommentsCostNoGapThenTheRunEnds) {
    NamedChild<QPlainTextEdit>(page(), "eTxList")
        ->setPlainText("101,0,0,1,01\n; comment\n102,0,0,1,02\n\n103,0,0,1,03\n");
    TransmitAll();
    EXPECT_TRUE(stopButton().isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return stopHiddenUs.has_value(); }, kTimeoutMs));
    EXPECT_NEAR(SinceTransmitAllMs(*stopHiddenUs), 3 * kGapMs, kToleranceMs);

    const std::vector<Arrival> arrivals = WaitForFrames(3);
    ASSERT_EQ(Ids(arrivals), (std::vector<uint32_t>{0x101, 0x102, 0x103}));
    for (size_t i = 0; i < arrivals.size(); ++i) {
        EXPECT_NEAR(arrivals[i].atMs, static_cast<double>(i) * kGapMs, kToleranceMs) << i;
        EXPECT_EQ(arrivals[i].letter, 'F') << i;  // a run asks for no acknowledgement
    }

    QTest::qWait(2 * kGapMs);
    EXPECT_EQ(sim.FramesFromPc().size(), framesBefore + 3);
    EXPECT_FALSE(page().Runner().Running());
    EXPECT_TRUE(sim.form.session().connected);
}

TEST_F(TransmitListEndToEndTest, LoopMsgsSendsTheFirstLineAgainOneGapAfterTheLast) {
    NamedChild<QPlainTextEdit>(page(), "eTxList")->setPlainText("201,1,0,0\n202,1,0,0\n203,1,0,0");
    NamedChild<QCheckBox>(page(), "cbLoopMsgs")->setChecked(true);
    TransmitAll();

    const std::vector<Arrival> arrivals = WaitForFrames(5);
    stopButton().trigger();
    EXPECT_FALSE(stopButton().isVisible());
    ASSERT_GE(arrivals.size(), 5u);
    const std::vector<uint32_t> ids = Ids(arrivals);
    EXPECT_EQ(std::vector<uint32_t>(ids.begin(), ids.begin() + 5),
              (std::vector<uint32_t>{0x201, 0x202, 0x203, 0x201, 0x202}));
    EXPECT_NEAR(arrivals[3].atMs, 3 * kGapMs, kToleranceMs);
    EXPECT_NEAR(arrivals[4].atMs, 4 * kGapMs, kToleranceMs);

    // Stopped: nothing more goes out.
    const size_t afterStop = sim.FramesFromPc().size();
    QTest::qWait(2 * kGapMs);
    EXPECT_EQ(sim.FramesFromPc().size(), afterStop);
}

TEST_F(TransmitListEndToEndTest, TransmitAllDuringARunRestartsAtTheFirstLine) {
    NamedChild<QPlainTextEdit>(page(), "eTxList")->setPlainText("301,0,0,0\n302,0,0,0\n303,0,0,0");
    TransmitAll();
    ASSERT_EQ(Ids(WaitForFrames(2)), (std::vector<uint32_t>{0x301, 0x302}));

    TransmitAll();
    ASSERT_TRUE(QTest::qWaitFor([&] { return stopHiddenUs.has_value(); }, kTimeoutMs));
    const std::vector<Arrival> arrivals = WaitForFrames(5);
    EXPECT_EQ(Ids(arrivals), (std::vector<uint32_t>{0x301, 0x302, 0x301, 0x302, 0x303}));
    // The new run keeps its own time; the old timer no longer ticks.
    ASSERT_EQ(arrivals.size(), 5u);
    for (size_t i = 2; i < arrivals.size(); ++i)
        EXPECT_NEAR(arrivals[i].atMs, static_cast<double>(i - 2) * kGapMs, kToleranceMs) << i;
    EXPECT_NEAR(SinceTransmitAllMs(*stopHiddenUs), 3 * kGapMs, kToleranceMs);
}

// A device that reads slower than a 1 ms run sends: the output buffer fills, and the run then
// waits for room. Every frame counted as sent reaches the device, and none is dropped.
TEST(TransmitListAtALimitedReadRate, EveryFrameCountedAsSentReachesTheDevice) {
    constexpr int kReadRate = 8000;  // bytes a second, about 300 of the frames below
    SimConnectedForm sim({"--count", "0", "--read-rate", QString::number(kReadRate)});
    ASSERT_TRUE(sim.StartAndConnect());
    TransmitListPage& page = sim.form.transmitListPage();
    // Escaped data bytes make a long packet (25 bytes), so the line backs up sooner.
    NamedChild<QPlainTextEdit>(page, "eTxList")
        ->setPlainText("1FFFFFFF,1,0,8,55,55,55,55,55,55,55,55");
    NamedChild<QComboBox>(page, "cbGap")->setCurrentText("1");
    NamedChild<QCheckBox>(page, "cbLoopMsgs")->setChecked(true);
    const size_t framesBefore = sim.FramesFromPc().size();
    NamedChild<QPushButton>(page, "bTransmitAll")->click();

    // The operating system's queue fills first, then the window's output buffer.
    // The loop runs freely here: QTest's waits sleep 10 ms between passes, too coarse for a
    // run at 1 ms.
    int leastFree = INT_MAX;
    RunEventLoop(kTimeoutMs, [&] {
        Serial* link = sim.form.CurrentSerial();
        if (link != nullptr) leastFree = std::min(leastFree, link->OutputFree());
        return leastFree < 2 * 25;
    });
    EXPECT_LT(leastFree, 2 * 25) << "the output buffer never filled";
    RunEventLoop(300);  // waiting for room a while
    page.bStopTxClick();

    // The device reads what is queued, a few seconds' worth; the counter shows its last value
    // at the next one-second tick.
    size_t received = 0;
    for (size_t before = SIZE_MAX, turns = 0; received != before && turns < 30; ++turns) {
        before = received;
        QTest::qWait(1200);
        received = sim.FramesFromPc().size() - framesBefore;
    }
    const int transmitted = sim.form.findChild<QLineEdit*>("eTransmitted")->text().toInt();
    EXPECT_EQ(static_cast<size_t>(transmitted), received);
    EXPECT_FALSE(
        sim.form.findChild<QPlainTextEdit*>("FrameList")->toPlainText().contains("not sent"));
    EXPECT_TRUE(sim.form.session().connected);
}

}  // namespace
