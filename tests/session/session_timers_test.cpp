#include <gtest/gtest.h>

#include <QtTest/QTest>
#include <cstdint>
#include <string>
#include <vector>

#include "common/ticks.h"
#include "session/handle_can.h"
#include "session_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Generous bound for waiting on a timer that should expire; never reached when all is well.
constexpr int kExpiryDeadlineMs = 10000;
const std::string kNotFound = "Can't find Brannox";
const std::string kAckTimeout = "Brannox Timeout\nDisconnected";

class TimersTest : public SessionTest {
  protected:
    TimersTest() {
        messages.whileShown = [this] { boxTicks.push_back(TickCount()); };
    }
    bool WaitForBoxes(size_t n) {
        return QTest::qWaitFor([&] { return messages.boxes.size() >= n; }, kExpiryDeadlineMs);
    }
    // One box with `text` no sooner than `timeoutMs` after `armed`, then the link closed and
    // the session disconnected with no waits left.
    void ExpectTimeoutThenDisconnect(uint64_t armed, int timeoutMs, const std::string& text) {
        ASSERT_TRUE(WaitForBoxes(1));
        // TickCount() truncates to whole milliseconds.
        EXPECT_GE(boxTicks[0] - armed + 1, static_cast<uint64_t>(timeoutMs));
        EXPECT_EQ(messages.boxes[0].text, text);
        EXPECT_EQ(messages.boxes[0].caption, "Information");
        EXPECT_EQ(host.disconnectClicks, 1);
        EXPECT_EQ(host.link, nullptr);
        EXPECT_FALSE(session.connected);
        EXPECT_EQ(session.PendingTimers(), 0u);
    }
    std::vector<uint64_t> boxTicks;
};

TEST_F(TimersTest, NoAnswerToIdentifyDisconnects) {
    host.OpenLink();
    session.Identify();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !session.Settling(); }));
    const uint64_t armed = TickCount();
    device.TakeWritten();

    ExpectTimeoutThenDisconnect(armed, HandleCAN::kIdentifyTimeoutMs, kNotFound);
    // Not connected, so the disconnect sends only the device reset.
    EXPECT_EQ(device.TakeWritten(), (Bytes{0x55, 0x52}));
}

TEST_F(TimersTest, UnacknowledgedFrameDisconnects) {
    Connect();
    session.TransmitFrame(CANBuffer(0x123, false, false, 0, nullptr), true);
    const uint64_t armed = TickCount();

    ExpectTimeoutThenDisconnect(armed, HandleCAN::kAcknowledgeTimeoutMs, kAckTimeout);
}

TEST_F(TimersTest, AcknowledgeCancelsTheNewestWaitAndTheOlderStillExpires) {
    Connect();
    session.TransmitFrame(CANBuffer(0x1, false, false, 0, nullptr), true);
    const uint64_t olderArmed = TickCount();
    QTest::qWait(400);
    session.TransmitFrame(CANBuffer(0x2, false, false, 0, nullptr), true);
    Receive('K');
    EXPECT_EQ(session.PendingTimers(), 1u);

    ASSERT_TRUE(WaitForBoxes(1));
    // The box came from the older wait: well before the newer one could have expired.
    EXPECT_LT(boxTicks[0] - olderArmed, uint64_t{400 + HandleCAN::kAcknowledgeTimeoutMs});
    EXPECT_EQ(host.disconnectClicks, 1);

    // The disconnect took every wait with it.
    QTest::qWait(500);
    EXPECT_EQ(messages.boxes.size(), 1u);
}

TEST_F(TimersTest, OneTimeoutBoxWhateverExpiresWhileItIsShown) {
    Connect();
    // The first box stays up, with the event loop running, past the other expiries.
    messages.whileShown = [this] {
        if (messages.boxes.size() == 1) QTest::qWait(150);
    };
    session.ArmTimer('K', 10);
    session.ArmTimer('K', 40);
    session.ArmTimer('K', 60);

    QTest::qWait(300);

    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, kAckTimeout);
    EXPECT_EQ(host.disconnectClicks, 1);
    EXPECT_EQ(host.link, nullptr);
    EXPECT_FALSE(session.connected);
    EXPECT_EQ(session.PendingTimers(), 0u);
}

}  // namespace
