// Load Configuration in the real window while connected to ostrel-sim: the device gets the
// loaded setup, filters and display setting, and the link stays as it was.

#include <gtest/gtest.h>

#include <QTest>

#include "config/config_record.h"
#include "session/device_commands.h"
#include "session/handle_can.h"
#include "sim_connected_form.h"

namespace {

constexpr int kTimeoutMs = 5000;

// The packets of `letter` the simulator heard from the window after the first `skip` ones.
std::vector<TracedPacket> HeardSince(const SimConnectedForm& sim, size_t skip, uint8_t letter) {
    const std::vector<TracedPacket> all = sim.sim.Trace(TracedPacket::kFromPc);
    std::vector<TracedPacket> heard;
    for (size_t i = skip; i < all.size(); ++i)
        if (all[i].letter == letter) heard.push_back(all[i]);
    return heard;
}

TEST(ConfigurationEndToEndTest, LoadWhileConnectedSendsTheLoadedSetupAndFilters) {
    SimConnectedForm sim({"--count", "0"});
    ASSERT_TRUE(sim.StartAndConnect());
    const std::string path = sim.folder.filePath("bench.ini").toStdString();
    const std::string port = sim.form.PortName();

    // A configuration of another bus rate, serial rate, filter and display setting, saved but
    // not yet sent.
    const ConfigRecord running = sim.config;
    sim.config.busRate = 125000;
    sim.config.baudRate = 9600;
    sim.config.useFilters = 1;
    sim.config.filterCount = 1;
    sim.config.filters[0] = {0x18FEF100, 0x1FFFFF00, 1, {}};
    sim.config.lcdOn = running.lcdOn ? 0 : 1;
    sim.messages.saveAnswer = {path, ""};
    sim.form.SaveConfiguration1Click();
    sim.config = running;

    const size_t before = sim.sim.Trace(TracedPacket::kFromPc).size();
    sim.messages.openAnswer = path;
    sim.form.LoadConfiguration1Click();
    // The six slots go out for the Use Filters box the file turns on, and again with the list.
    ASSERT_TRUE(QTest::qWaitFor([&] { return HeardSince(sim, before, kLetterFilter).size() >= 12; },
                                kTimeoutMs));
    EXPECT_TRUE(sim.messages.boxes.empty());

    const std::vector<TracedPacket> setups = HeardSince(sim, before, kLetterBusSetup);
    ASSERT_FALSE(setups.empty());
    EXPECT_EQ(setups.back().payload, (std::vector<uint8_t>{0x48, 0xE8, 0x01, 0x00, 1, 0, 0}));
    const std::vector<TracedPacket> filters = HeardSince(sim, before, kLetterFilter);
    ASSERT_EQ(filters.size(), 12u);
    EXPECT_EQ(filters[6].payload,
              (std::vector<uint8_t>{0, 1, 0x00, 0xF1, 0xFE, 0x18, 0x00, 0xFF, 0xFF, 0x1F}));

    const std::vector<TracedPacket> display = HeardSince(sim, before, kLetterDisplay);
    ASSERT_EQ(display.size(), 1u);
    EXPECT_EQ(display[0].payload, std::vector<uint8_t>{sim.config.lcdOn});
    EXPECT_NE(sim.config.lcdOn, running.lcdOn);

    // The open link keeps its port and serial rate.
    EXPECT_TRUE(sim.form.session().connected);
    EXPECT_EQ(sim.form.PortName(), port);
    EXPECT_EQ(sim.config.baudRate, running.baudRate);
    EXPECT_EQ(sim.config.busRate, 125000);
}

}  // namespace
