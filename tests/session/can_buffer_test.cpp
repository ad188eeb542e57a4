#include "session/can_buffer.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "session_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Bytes 1..4 of the device layout: the identifier registers.
Bytes IdRegisters(const CANBufferPIC& pic) {
    return {pic.sidh, pic.sidl, pic.eidh, pic.eidl};
}

CANBufferPIC PicOf(uint32_t id, bool extended) {
    return ToPIC(CANBuffer(id, false, extended, 0, nullptr));
}

TEST(CANBufferTest, ReceivedExtendedFrameKeepsControlAndLostFramesFlag) {
    const uint8_t payload[CANBufferPIC::kSize] = {0x81, 0x91, 0xA8, 0x56, 0x78, 0x08, 0x55,
                                                  0xAA, 0x19, 0x11, 0xB6, 0x99, 0x11, 0x01,
                                                  0x78, 0x56, 0x34, 0x12, 0x00};
    const CANBuffer record = FromPIC(CANBufferPIC::FromBytes(payload));

    EXPECT_EQ(record.id, 0x12345678u);
    EXPECT_EQ(record.extended, 1);
    EXPECT_EQ(record.dlc, 8);
    EXPECT_EQ(record.data,
              (std::array<uint8_t, 8>{0x55, 0xAA, 0x19, 0x11, 0xB6, 0x99, 0x11, 0x01}));
    EXPECT_EQ(record.control, 0x81);
    EXPECT_EQ(record.response, 0);  // bit 3 of 0x81 is clear
    EXPECT_TRUE(record.FramesLost());
    EXPECT_EQ(record.timestamp, 0x12345678u);
    EXPECT_EQ(record.brief, 0);
}

TEST(CANBufferTest, IdentifierLayoutsBothWays) {
    struct Case {
        uint32_t id;
        bool extended;
        Bytes registers;
    };
    const Case cases[] = {
        {0x7FF, false, {0xFF, 0xE0, 0x00, 0x00}},     {0x123, false, {0x24, 0x60, 0x00, 0x00}},
        {0x000, false, {0x00, 0x00, 0x00, 0x00}},     {0x1FFFFFFF, true, {0xFF, 0xEB, 0xFF, 0xFF}},
        {0x12345678, true, {0x91, 0xA8, 0x56, 0x78}}, {0x00000000, true, {0x00, 0x08, 0x00, 0x00}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const CANBufferPIC pic = PicOf(c.id, c.extended);
        EXPECT_EQ(IdRegisters(pic), c.registers);
        const CANBuffer back = FromPIC(pic);
        EXPECT_EQ(back.id, c.id);
        EXPECT_EQ(back.extended, c.extended ? 1 : 0);
    }
    // Bits beyond the identifier's width are dropped on the way out.
    EXPECT_EQ(IdRegisters(PicOf(0xF123, false)), IdRegisters(PicOf(0x123, false)));
    EXPECT_EQ(IdRegisters(PicOf(0xFFFFFFFF, true)), IdRegisters(PicOf(0x1FFFFFFF, true)));
    // The reserved bits 4 and 2 of sidl and, for a standard identifier, the extended
    // registers are ignored when received.
    CANBufferPIC noisy = PicOf(0x123, false);
    noisy.sidl |= 0x14;
    noisy.eidh = 0xAB;
    noisy.eidl = 0xCD;
    EXPECT_EQ(FromPIC(noisy).id, 0x123u);
}

TEST(CANBufferTest, FlagsAndLengthGoingToTheDevice) {
    const uint8_t data[8] = {1, 2, 3, 4, 5, 6, 7, 8};

    CANBuffer response(0x7FF, true, false, 3, data);
    response.control = 0x81;  // only the response bit goes to the device
    EXPECT_EQ(ToPIC(response).control, 0x08);
    response.layout = 1;
    EXPECT_EQ(ToPIC(response).control, 0x20);
    EXPECT_EQ(FromPIC(ToPIC(response), 1).response, 1);
    EXPECT_EQ(FromPIC(ToPIC(response), 0).response, 0);

    const CANBufferPIC plain = ToPIC(CANBuffer(0x123, false, false, 3, data, 0xCAFE));
    EXPECT_EQ(plain.control, 0x00);
    EXPECT_EQ(plain.dlc, 3);
    // Only the first dlc bytes are taken from the caller's data.
    EXPECT_EQ(plain.data, (std::array<uint8_t, 8>{1, 2, 3, 0, 0, 0, 0, 0}));
    EXPECT_EQ(plain.Timestamp(), 0xCAFEu);

    const CANBuffer brief(0x123, false, false, 8, data, 0, true);
    EXPECT_EQ(brief.dlc, 0);
    const CANBufferPIC briefPic = ToPIC(brief);
    EXPECT_EQ(briefPic.dlc, 0);
    EXPECT_EQ(briefPic.brief, 1);
    EXPECT_EQ(briefPic.data, (std::array<uint8_t, 8>{}));
}

TEST(CANBufferTest, LengthAboveEightIsKeptWithItsEightDataBytes) {
    CANBufferPIC pic = PicOf(0x100, false);
    pic.dlc = 12;
    pic.data = {9, 8, 7, 6, 5, 4, 3, 2};
    const CANBuffer received = FromPIC(pic);
    EXPECT_EQ(received.dlc, 12);
    EXPECT_EQ(received.data, pic.data);

    // Built from values, such a record copies no more than the eight bytes it has.
    const uint8_t data[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    const CANBuffer built(0x100, false, false, 15, data);
    EXPECT_EQ(built.dlc, 15);
    EXPECT_EQ(built.data, (std::array<uint8_t, 8>{1, 1, 1, 1, 1, 1, 1, 1}));
}

TEST(CANBufferTest, ClearPICKeepsDataAndBrief) {
    CANBufferPIC pic = PicOf(0x1FFFFFFF, true);
    pic.control = 0x88;
    pic.dlc = 8;
    pic.data = {1, 2, 3, 4, 5, 6, 7, 8};
    pic.SetTimestamp(0xFFFFFFFF);
    pic.brief = 1;
    ClearPIC(pic);
    EXPECT_EQ(IdRegisters(pic), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(pic.control, 0);
    EXPECT_EQ(pic.dlc, 0);
    EXPECT_EQ(pic.Timestamp(), 0u);
    EXPECT_EQ(pic.data, (std::array<uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(pic.brief, 1);
}

using ReceivedRecordTest = SessionTest;

TEST_F(ReceivedRecordTest, PacketLetterDecidesBriefAndOnlyPacketsHoldingAFrameAreStored) {
    Connect();
    // A full frame that fills every payload byte, with the device's own brief byte set.
    const Bytes full = {0x00, 0x24, 0x60, 0x00, 0x00, 0x08, 0x11, 0x22, 0x33, 0x44,
                        0x55, 0x66, 0x77, 0x88, 0x01, 0x02, 0x03, 0x04, 0x01};
    Receive('F', full);
    // A brief frame with only its control byte and identifier.
    Receive('H', {0x80, 0xFF, 0xE0, 0x00, 0x00});
    // Packets too short for the frame they announce, as a length byte lost on the line
    // leaves them (the control byte read as the length): no frame the device sent.
    Receive('F', {0x00, 0x24, 0x60, 0x00, 0x00, 0x08, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                  0x88, 0x01, 0x02, 0x03});
    Receive('F');
    Receive('H', {0x80, 0xFF, 0xE0, 0x00});

    ASSERT_EQ(session.frames().Size(), 2u);
    EXPECT_EQ(session.count, 2u);
    EXPECT_EQ(host.shownFrames.size(), 2u);
    const CANBuffer& first = session.frames()[0];
    EXPECT_EQ(first.brief, 0);  // the letter decides, not the device's byte 18
    EXPECT_EQ(first.dlc, 8);
    EXPECT_EQ(first.timestamp, 0x04030201u);

    // Nothing of the longer packet before it leaks into the brief frame.
    const CANBuffer& brief = session.frames()[1];
    EXPECT_EQ(brief.brief, 1);
    EXPECT_EQ(brief.id, 0x7FFu);
    EXPECT_TRUE(brief.FramesLost());
    EXPECT_EQ(brief.dlc, 0);
    EXPECT_EQ(brief.data, (std::array<uint8_t, 8>{}));
    EXPECT_EQ(brief.timestamp, 0u);
}

}  // namespace
