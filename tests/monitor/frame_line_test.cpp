#include "monitor/frame_line.h"

#include <gtest/gtest.h>

#include "session/can_buffer.h"

namespace {

CANBuffer Received(uint32_t id, bool extended, bool response, std::vector<uint8_t> data,
                   uint32_t timestamp = 0, uint32_t sequence = 0) {
    CANBuffer record(id, response, extended, static_cast<uint8_t>(data.size()), data.data(),
                     timestamp);
    record.sequence = sequence;
    return record;
}

TEST(FormatFrameLine, ReceivedFrameLineByteForByte) {
    const CANBuffer record = Received(0x12345678, true, false, {0x55, 0xAA}, 3000001, 12);
    EXPECT_EQ(FormatFrameLine(record, false), "000012 0,001,500,000 E   0x12345678 2 55 AA ");
}

TEST(FormatFrameLine, DeviceTimeAtBothEndsOfItsRange) {
    EXPECT_EQ(FormatFrameLine(Received(1, true, false, {}, 0xFFFFFFFF), false),
              "000000 2,147,483,647 E   0x00000001 0 ");
    EXPECT_EQ(FormatFrameLine(Received(1, true, false, {}, 0), false),
              "000000 0,000,000,000 E   0x00000001 0 ");
}

TEST(FormatFrameLine, FlagColumnsForStandardResponseAndExtendedPlainFrames) {
    EXPECT_EQ(FormatFrameLine(Received(0x7FF, false, true, {0x01}), false).substr(21),
              "S R 0x000007FF 1 01 ");
    EXPECT_EQ(FormatFrameLine(Received(0x18EF2000, true, false, {}), false).substr(21),
              "E   0x18EF2000 0 ");
}

TEST(FormatFrameLine, TransmittedLineHasTheTxPrefixInPlaceOfSequenceAndTime) {
    const CANBuffer record = Received(0x123, false, false, {0x11, 0x22}, 3000001, 7);
    const std::string line = FormatFrameLine(record, true);
    EXPECT_EQ(line, "    TX               S   0x00000123 2 11 22 ");
    // The columns line up with those of a received line.
    EXPECT_EQ(line.find('S'), FormatFrameLine(record, false).find('S'));
}

TEST(FormatFrameLine, BriefFrameShowsOnlyItsIdentifierInEitherDirection) {
    CANBuffer record = Received(0x12345678, true, true, {1, 2, 3}, 99, 5);
    record.brief = 1;
    EXPECT_EQ(FormatFrameLine(record, false), "0x12345678 ?? (Brief Mode)");
    EXPECT_EQ(FormatFrameLine(record, true), "0x12345678 ?? (Brief Mode)");
}

TEST(FormatFrameLine, LengthAboveEightIsShownWithTheEightBytesHeld) {
    CANBuffer record = Received(0x1, false, false, {1, 2, 3, 4, 5, 6, 7, 8});
    record.dlc = 15;
    EXPECT_EQ(FormatFrameLine(record, false).substr(21),
              "S   0x00000001 15 01 02 03 04 05 06 07 08 ");
}

}  // namespace
