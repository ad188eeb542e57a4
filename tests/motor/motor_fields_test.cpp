#include "motor/motor_fields.h"

#include <gtest/gtest.h>

#include <climits>

#include "motor/range_group.h"

TEST(MotorFields, IntegerOrTakesOnlyWholeDecimalIntegers) {
    EXPECT_EQ(IntegerOr("2500", -9), 2500);
    EXPECT_EQ(IntegerOr("+7", -9), 7);
    EXPECT_EQ(IntegerOr("-3", -9), -3);
    EXPECT_EQ(IntegerOr("-2147483648", -9), INT_MIN);
    for (const char* text : {"", "+", "-", "12a", " 5", "5 ", "+-1", "0x10", "2147483648"})
        EXPECT_EQ(IntegerOr(text, -9), -9) << text;
    EXPECT_EQ(ControlSpeed(SpeedForm::Rpm, ""), 500);
    EXPECT_EQ(ControlSpeed(SpeedForm::Percent, ""), 0);
}

TEST(MotorFields, ConfigTextsGiveDefaultsCutsAndTheBaseAddressInHex) {
    MotorConfigTexts texts;
    const std::pair<const char*, int> bases[] = {
        {"7f", 0x7F}, {"7F", 0x7F}, {"1FF", 0xFF}, {"G1", 0}};
    for (const auto& [text, address] : bases) {
        texts.canBase = text;
        EXPECT_EQ(ReadMotorConfig(texts).baseAddress, address) << text;
    }

    texts = {"", "", "", "", "", "fast", "", true};
    MotorConfig config = ReadMotorConfig(texts);
    EXPECT_EQ(config.defaultRpm, 2500);
    EXPECT_EQ(config.minRpm, 500);
    EXPECT_EQ(config.maxRpm, 6000);
    EXPECT_EQ(config.tempShutdown, 125);
    EXPECT_EQ(config.canTimeout, 5);
    EXPECT_EQ(config.busRate, 250000u);
    EXPECT_TRUE(config.resistor);

    // A typed rate goes as typed; the speeds compare as the unsigned 16-bit values sent.
    texts.busRate = "125001";
    texts.minRpm = "-1";
    config = ReadMotorConfig(texts);
    EXPECT_EQ(config.busRate, 125001u);
    EXPECT_EQ(config.minRpm, 0xFFFF);
    EXPECT_FALSE(SpeedLimitsInOrder(config));
}

TEST(MotorFields, RangeGroupKeepsABitPerFieldAndAcceptsBothBounds) {
    RangeGroup group;
    EXPECT_FALSE(group.Check(500, kRpmRange));
    EXPECT_FALSE(group.Check(6000, kRpmRange));
    EXPECT_TRUE(group.Check(499, kRpmRange));
    EXPECT_TRUE(group.Check(-1, kRpmPercentRange));
    EXPECT_EQ(group.mask(), 3u);
    EXPECT_FALSE(group.Check(0, kRpmPercentRange));
    EXPECT_FALSE(group.AllInRange());
    EXPECT_FALSE(group.Check(6000, kRpmRange));
    EXPECT_TRUE(group.AllInRange());

    EXPECT_TRUE(group.Check(256, kCanTimeoutRange));
    EXPECT_EQ(RangeErrorText(kCanTimeoutRange), "Enter Value between 0 and 255");
    EXPECT_EQ(RangeErrorText(kTempShutdownRange), "Enter Value between 90 and 149");
}
