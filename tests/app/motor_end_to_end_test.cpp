// Set Config of the Motor page in the real window, as the frames reach ostrel-sim: the order,
// the acknowledgement letters, the bytes and the pause between the configuration pages.

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "motor/frame_text.h"
#include "motor/motor_config_writer.h"
#include "motor/motor_page.h"
#include "session/handle_can.h"
#include "sim_connected_form.h"
#include "support/named_child.h"

namespace {

constexpr int kTimeoutMs = 10000;

TEST(MotorEndToEndTest, SetConfigSendsRequestThreePagesAndRequestWithPausesBetweenPages) {
    SimConnectedForm sim({"--count", "0"});
    ASSERT_TRUE(sim.StartAndConnect());
    // Taken out of the tabs when the window was shown, but still the window's page.
    auto* page = sim.form.findChild<MotorPage*>("tabMotor");
    ASSERT_NE(page, nullptr);
    const size_t before = sim.FramesFromPc().size();

    NamedChild<QPushButton>(*page, "bSetConfig")->click();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return sim.FramesFromPc().size() >= before + 5; }, kTimeoutMs));
    // The device's acknowledgements of the pages are handled after the sequence, in time.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return sim.form.session().PendingTimers() == 0; }, kTimeoutMs));
    EXPECT_TRUE(sim.form.session().connected);
    EXPECT_TRUE(sim.messages.boxes.empty());

    const std::vector<TracedPacket> all = sim.FramesFromPc();
    const std::vector<TracedPacket> frames(all.begin() + static_cast<long>(before), all.end());
    ASSERT_EQ(frames.size(), 5u);
    std::string letters;
    std::vector<std::string> data;
    for (const TracedPacket& packet : frames) {
        const CANBuffer frame = SentFrame(packet);
        EXPECT_EQ(frame.id, MotorConfigId);
        EXPECT_TRUE(frame.extended);
        letters += static_cast<char>(packet.letter);
        data.push_back(DataText(frame));
    }
    EXPECT_EQ(letters, "FGGGF");
    const std::string request = "80 52 45 51 31";
    EXPECT_EQ(data,
              (std::vector<std::string>{request, "00 C4 09 F4 01 A0 0F", "01 20 7D 00 05 FF FF",
                                        "02 90 D0 03 00 00 FF", request}));

    // The window waits the whole pause after each page; the terminal may shift an arrival by
    // a little, hence the allowance below the pause.
    constexpr uint64_t kTransitAllowanceUs = 2000;
    for (size_t i = 2; i < frames.size(); ++i)
        EXPECT_GE(frames[i].timeUs - frames[i - 1].timeUs,
                  kConfigPageGapMs * 1000 - kTransitAllowanceUs)
            << i;
}

}  // namespace
