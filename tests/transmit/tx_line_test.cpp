#include "transmit/tx_line.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

struct ParseCase {
    std::string line;
    std::optional<TxFrameFields> frame;
};

TxFrameFields Frame(uint32_t id, bool extended, bool response, uint8_t dlc,
                    std::vector<uint8_t> bytes = {}) {
    TxFrameFields frame{id, extended, response, dlc, {}};
    for (size_t i = 0; i < bytes.size(); ++i) frame.data[i] = bytes[i];
    return frame;
}

void ExpectSameFrame(const TxFrameFields& actual, const TxFrameFields& expected) {
    EXPECT_EQ(actual.id, expected.id);
    EXPECT_EQ(actual.extended, expected.extended);
    EXPECT_EQ(actual.response, expected.response);
    EXPECT_EQ(actual.dlc, expected.dlc);
    EXPECT_EQ(actual.data, expected.data);
}

}  // namespace

TEST(ParseTxLine, ReadsEveryLineOfTheFormatTable) {
    const std::vector<ParseCase> cases = {
        {"18EF20A3,1,0,8,FD,A0,0F,FF,FF,FF,FF,FF; Turn on, Default Direction, 2000RPM",
         Frame(0x18EF20A3, true, false, 8, {0xFD, 0xA0, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})},
        {"  ; a comment", std::nullopt},
        {"", std::nullopt},
        {" \t ", std::nullopt},
        {"7FF,0,0,0", Frame(0x7FF, false, false, 0)},
        {"1a,1,0,1,ff", Frame(0x1A, true, false, 1, {0xFF})},
        // A blank after each comma: flags clear, DLC read past the blank, bytes 0.
        {"100, 1, 1, 2, 11, 22", Frame(0x100, false, false, 2, {0, 0})},
        // An empty field does not exist: 05 becomes the first byte, the second is missing.
        {"123,0,0,2,,05", Frame(0x123, false, false, 2, {0x05, 0})},
        {"123,0,0,2,11,22,33; note", Frame(0x123, false, false, 2, {0x11, 0x22})},
        {"123,0,0,4,11,22", Frame(0x123, false, false, 4, {0x11, 0x22, 0, 0})},
        // A note directly behind the last byte is read as a byte; after a blank it reads 0.
        {"123,0,0,3,11,22;AB", Frame(0x123, false, false, 3, {0x11, 0x22, 0xAB})},
        {"123,0,0,3,11,22; AB", Frame(0x123, false, false, 3, {0x11, 0x22, 0})},
        // Field 4 runs to the end of the line; its value is its leading digits.
        {"123,1,0,0; note", Frame(0x123, true, false, 0)},
        {"123456789,0,1,0", Frame(0x23456789, false, true, 0)},
        // Leading white space is skipped; missing fields keep their start values.
        {"   55", Frame(0x55, false, false, 0)},
        {"abc,1", Frame(0xABC, true, false, 0)},
        // A DLC outside 0..8 is cut to the eight bytes a frame holds.
        {"1,0,0,12,1,2,3,4,5,6,7,8,9", Frame(1, false, false, 8, {1, 2, 3, 4, 5, 6, 7, 8})},
        {"1,0,0,264,1", Frame(1, false, false, 8, {1})},
        {"1,0,0,-3,1", Frame(1, false, false, 0)},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.line);
        const auto frame = ParseTxLine(c.line);
        ASSERT_EQ(frame.has_value(), c.frame.has_value());
        if (frame) ExpectSameFrame(*frame, *c.frame);
    }
}

TEST(ParseTxLine, ReadsOnlyTheFirst999Characters) {
    // The last byte's field straddles the limit: only its first digit is read.
    std::string line = "1,0,0,1,";
    line += std::string(998 - line.size(), ',') + "AB";
    ASSERT_EQ(line.size(), 1000u);
    const auto frame = ParseTxLine(line);
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->data[0], 0x0A);
}
