#include "common/text.h"

#include <gtest/gtest.h>

TEST(ParseHex, ReadsLeadingDigitsUpToTheFirstOtherCharacter) {
    EXPECT_EQ(ParseHex("1FF"), 0x1FFu);
    EXPECT_EQ(ParseHex("7f"), 0x7Fu);
    EXPECT_EQ(ParseHex("12G4"), 0x12u);
    EXPECT_EQ(ParseHex("G1"), 0u);
    EXPECT_EQ(ParseHex(""), 0u);
    EXPECT_EQ(ParseHex(" 12"), 0u);
    // Unsigned 32-bit accumulation wraps instead of overflowing.
    EXPECT_EQ(ParseHex("123456789"), 0x23456789u);
}

TEST(ParseDecimal, ReadsLeadingDigits) {
    EXPECT_EQ(ParseDecimal("50000 "), 50000u);
    EXPECT_EQ(ParseDecimal("2000000"), 2000000u);
    EXPECT_EQ(ParseDecimal("x1"), 0u);
    EXPECT_EQ(ParseDecimal(""), 0u);
}

TEST(ParseDecimalSaturating, SkipsLeadingBlanksAndStopsAtTheLargest32BitValue) {
    const struct {
        const char* text;
        uint32_t value;
    } cases[] = {
        {" 500000", 500000u},
        {"\t 500000 ", 500000u},
        {"50000 ", 50000u},
        {"4294967295", 4294967295u},
        {"4294967296", 4294967295u},
        {"4294967297", 4294967295u},
        {"99999999999999999999999", 4294967295u},
        {"   ", 0u},
        {"", 0u},
        {"x1", 0u},
        {" - 5", 0u},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseDecimalSaturating(c.text), c.value) << c.text;
}

TEST(HexByte, TwoUpperCaseDigits) {
    EXPECT_EQ(HexByte(0x00), "00");
    EXPECT_EQ(HexByte(0x0A), "0A");
    EXPECT_EQ(HexByte(0xF0), "F0");
    EXPECT_EQ(HexByte(0xFF), "FF");
}

TEST(FormatIdText, ExtendedIsEightDigitsStandardIsFourOfTheLowSixteenBits) {
    EXPECT_EQ(FormatIdText(0x01234567, true), "01234567");
    EXPECT_EQ(FormatIdText(0x7FF, false), "07FF");
    EXPECT_EQ(FormatIdText(0x12345678, false), "5678");
}
