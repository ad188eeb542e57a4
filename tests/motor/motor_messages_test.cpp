#include "motor/motor_messages.h"

#include <gtest/gtest.h>

#include "frame_text.h"
#include "motor/motor_config_writer.h"

namespace {

constexpr int kForward = 0, kStop = 1, kReverse = 2;
constexpr int kPowerOff = 0, kPowerOn = 1;

std::string Control(int state, int power, SpeedForm form, int speed) {
    return DataText(MotorControlMessage(state, power, form, speed));
}

}  // namespace

TEST(MotorMessages, ControlMessageCarriesStatePowerAndDoubledSpeed) {
    const CANBuffer rpm = MotorControlMessage(kForward, kPowerOff, SpeedForm::Rpm, 2500);
    EXPECT_EQ(rpm.id, MotorControlId);
    EXPECT_TRUE(rpm.extended);
    EXPECT_FALSE(rpm.response);
    EXPECT_EQ(DataText(rpm), "F0 88 13 FF FF FF FF FF");
    EXPECT_EQ(Control(kForward, kPowerOff, SpeedForm::Percent, 50), "F0 FF FF 64 FF FF FF FF");

    EXPECT_EQ(Control(kStop, kPowerOn, SpeedForm::Rpm, 2500).substr(0, 2), "F5");
    EXPECT_EQ(Control(kReverse, kPowerOn, SpeedForm::Rpm, 2500).substr(0, 2), "F6");
    EXPECT_EQ(Control(kForward, kPowerOff, SpeedForm::Rpm, 6000).substr(3, 5), "E0 2E");
    EXPECT_EQ(Control(kForward, kPowerOff, SpeedForm::Rpm, 500).substr(3, 5), "E8 03");
    EXPECT_EQ(Control(kForward, kPowerOff, SpeedForm::Percent, 100).substr(9, 2), "C8");
    EXPECT_EQ(Control(kForward, kPowerOff, SpeedForm::Percent, 0).substr(9, 2), "00");
}

TEST(MotorMessages, ConfigPagesAndRequestLayout) {
    MotorConfig config;
    config.maxRpm = 4000;
    const std::array<CANBuffer, 3> pages = MotorConfigPages(config);
    EXPECT_EQ(DataText(pages[0]), "00 C4 09 F4 01 A0 0F");
    EXPECT_EQ(DataText(pages[1]), "01 20 7D 00 05 FF FF");
    EXPECT_EQ(DataText(pages[2]), "02 90 D0 03 00 00 FF");
    for (const CANBuffer& page : pages) {
        EXPECT_EQ(page.id, MotorConfigId);
        EXPECT_TRUE(page.extended);
    }
    config.resistor = true;
    config.busRate = 1000000;
    EXPECT_EQ(DataText(MotorConfigPages(config)[2]), "02 40 42 0F 00 01 FF");

    const CANBuffer request = MotorConfigRequest();
    EXPECT_EQ(request.id, MotorConfigId);
    EXPECT_TRUE(request.extended);
    EXPECT_EQ(DataText(request), "80 52 45 51 31");
}

TEST(MotorMessages, WriteConfigFramesThePagesWithRequestsAndPausesAfterEachPage) {
    std::vector<std::string> events;
    const MotorTransmit transmit = [&](const CANBuffer& record, bool ack) {
        events.push_back(DataText(record).substr(0, 2) + (ack ? " ack" : ""));
    };
    const auto pause = [&](int ms) { events.push_back("pause " + std::to_string(ms)); };

    MotorConfig config;
    EXPECT_TRUE(WriteMotorConfig(config, transmit, pause));
    EXPECT_EQ(events, (std::vector<std::string>{"80", "00 ack", "pause 120", "01 ack", "pause 120",
                                                "02 ack", "pause 120", "80"}));

    // Equal limits pass; a minimum above the maximum stops after the first request.
    config.minRpm = config.maxRpm = 4000;
    EXPECT_TRUE(SpeedLimitsInOrder(config));
    config.minRpm = 4001;
    events.clear();
    EXPECT_FALSE(WriteMotorConfig(config, transmit, pause));
    EXPECT_EQ(events, std::vector<std::string>{"80"});
}
