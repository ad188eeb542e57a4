#include "session/handle_can.h"

#include <gtest/gtest.h>

#include <QTest>
#include <cstdint>
#include <string>
#include <vector>

#include "session_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;
using CommandsTest = SessionTest;

const Bytes kBusSetup = {0x90, 0xD0, 0x03, 0x00, 0x00, 0x01, 0x01};
const Bytes kBusSetupReset = {0x90, 0xD0, 0x03, 0x00, 0x00, 0x00, 0x00};

std::vector<uint8_t> CommandsOf(const std::vector<SentPacket>& packets) {
    std::vector<uint8_t> letters;
    for (const SentPacket& p : packets) letters.push_back(p.command);
    return letters;
}

TEST_F(CommandsTest, ConnectHandshake) {
    session.SetBriefMode(true);
    host.OpenLink();
    device.Feed({0x55, 0x46, 0x12, 0x00});  // left over from before the reset

    session.Identify();
    ASSERT_TRUE(QTest::qWaitFor([&] { return device.writes.size() == 2; }));

    ASSERT_EQ(device.writes.size(), 2u);
    EXPECT_EQ(device.writes[0].bytes, (Bytes{0x55, 0x52}));
    EXPECT_EQ(device.writes[1].bytes, (Bytes{0x55, 0x59, 0x00}));
    EXPECT_GE(device.writes[1].tick - device.writes[0].tick, uint64_t{HandleCAN::kResetSettleMs});
    EXPECT_TRUE(device.input.empty());
    EXPECT_FALSE(session.connected);
    EXPECT_EQ(session.PendingTimers(), 1u);
    device.TakeWritten();

    Receive('Z');

    EXPECT_TRUE(session.connected);
    EXPECT_EQ(session.PendingTimers(), 0u);  // the identify wait is over
    EXPECT_EQ(host.logLines, std::vector<std::string>{" ** Connected **"});
    EXPECT_EQ(host.updateControlsCalls, 1);
    const std::vector<SentPacket> sent = TakeSentPackets();
    EXPECT_EQ(CommandsOf(sent), (Bytes{'B', 'A', 'A', 'A', 'A', 'A', 'A', 'C'}));
    ASSERT_EQ(sent.size(), 8u);
    EXPECT_EQ(sent[0].payload, kBusSetup);
    for (int j = 0; j < 6; ++j) {
        EXPECT_EQ(sent[1 + j].payload.size(), 10u);
        EXPECT_EQ(sent[1 + j].payload[0], j);
    }
    EXPECT_EQ(sent[7].payload, Bytes{0x00});
}

TEST_F(CommandsTest, ZBeforeTheIdentifyIsSentIsNoAnswer) {
    host.OpenLink();
    session.Identify();
    EXPECT_TRUE(session.Settling());

    Receive('Z');

    EXPECT_FALSE(session.connected);
    EXPECT_TRUE(host.logLines.empty());
    EXPECT_EQ(device.TakeWritten(), (Bytes{0x55, 0x52}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !session.Settling(); }));
    Receive('Z');
    EXPECT_TRUE(session.connected);
}

TEST_F(CommandsTest, BusSetupAndItsResetForm) {
    Connect();
    session.SetBriefMode(true);
    session.SendSetupAndFilters(true);
    EXPECT_EQ(TakeSentPackets(), (std::vector<SentPacket>{{'B', kBusSetup}}));

    session.Reset();

    // The setup with all modes off, then the unframed device reset.
    ASSERT_EQ(device.writes.size(), 2u);
    EXPECT_EQ(device.writes[1].bytes, (Bytes{0x55, 0x52}));
    EXPECT_EQ(TakeSentPackets(), (std::vector<SentPacket>{{'B', kBusSetupReset}}));
    EXPECT_FALSE(session.connected);

    // Without a link, Reset does nothing at all.
    Connect();
    host.link.reset();
    session.Reset();
    EXPECT_TRUE(session.connected);
    EXPECT_TRUE(device.written.empty());
}

TEST_F(CommandsTest, FiltersWithTheDefaultEntryMasks) {
    const Bytes filtersOff[6] = {
        {0x00, 0x01, 0, 0, 0, 0, 0x00, 0x00, 0x00, 0x00},
        {0x01, 0x01, 0, 0, 0, 0, 0x00, 0x00, 0x00, 0x00},
        {0x02, 0x01, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x1F},
        {0x03, 0x01, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x1F},
        {0x04, 0x01, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x1F},
        {0x05, 0x01, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x1F},
    };
    const Bytes oneFilter[6] = {
        {0x00, 0x00, 0x23, 0x01, 0x00, 0x00, 0xFF, 0x07, 0x00, 0x00},
        {0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x07, 0x00, 0x00},
        filtersOff[2],
        filtersOff[3],
        filtersOff[4],
        filtersOff[5],
    };
    auto sentFilters = [this] {
        session.SendSetupAndFilters(false);
        std::vector<SentPacket> sent = TakeSentPackets();
        EXPECT_EQ(CommandsOf(sent), (Bytes{'B', 'A', 'A', 'A', 'A', 'A', 'A'}));
        std::vector<Bytes> payloads;
        for (size_t i = 1; i < sent.size(); ++i) payloads.push_back(sent[i].payload);
        return payloads;
    };
    Connect();
    config.filters[0] = FilterEntry{0x123, 0x7FF, 0, {}};
    config.filterCount = 1;

    config.useFilters = 1;
    EXPECT_EQ(sentFilters(), std::vector<Bytes>(std::begin(oneFilter), std::end(oneFilter)));

    config.useFilters = 0;
    EXPECT_EQ(sentFilters(), std::vector<Bytes>(std::begin(filtersOff), std::end(filtersOff)));

    // A list longer than the device's six filters sends its first six.
    config.useFilters = 1;
    config.filterCount = ConfigRecord::kMaxFilters;
    for (uint32_t j = 0; j < ConfigRecord::kMaxFilters; ++j)
        config.filters[j] = FilterEntry{0x100 + j, 0x1FFFFFFF, 1, {}};
    const std::vector<Bytes> full = sentFilters();
    ASSERT_EQ(full.size(), 6u);
    EXPECT_EQ(full[5], (Bytes{0x05, 0x01, 0x05, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x1F}));
}

TEST_F(CommandsTest, DisplayFlags) {
    Connect();
    config.lcdOn = 1;
    session.SendDisplayFlags();
    config.lcdOn = 0;
    session.SendDisplayFlags();
    EXPECT_EQ(TakeSentPackets(), (std::vector<SentPacket>{{'C', {0x01}}, {'C', {0x00}}}));
}

TEST_F(CommandsTest, TransmitExamplesByteForByte) {
    Connect();
    const uint8_t data1[] = {0x11, 0x22};
    const uint8_t data2[] = {0x55, 0x1B};
    session.TransmitFrame(CANBuffer(0x123, false, false, 2, data1), true);
    session.TransmitFrame(CANBuffer(0x18EF2000, false, true, 2, data2), false);
    session.TransmitFrame(CANBuffer(0x7FF, true, false, 0, nullptr), false);

    ASSERT_EQ(device.writes.size(), 3u);
    EXPECT_EQ(device.writes[0].bytes,
              (Bytes{0x55, 0x47, 0x08, 0x00, 0x24, 0x60, 0x00, 0x00, 0x02, 0x11, 0x22}));
    EXPECT_EQ(device.writes[1].bytes, (Bytes{0x55, 0x46, 0x08, 0x00, 0xC7, 0x6B, 0x20, 0x00, 0x02,
                                             0x1B, 0xD5, 0x1B, 0x9B}));
    EXPECT_EQ(device.writes[2].bytes,
              (Bytes{0x55, 0x46, 0x06, 0x08, 0xFF, 0xE0, 0x00, 0x00, 0x00}));
    ASSERT_EQ(host.sentFrames.size(), 3u);
    EXPECT_EQ(host.sentFrames[1].id, 0x18EF2000u);
    EXPECT_EQ(session.PendingTimers(), 1u);  // only the 'G' awaits a 'K'

    // A brief or over-long record sends no more than its eight data bytes.
    const uint8_t eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    session.TransmitFrame(CANBuffer(0x1, false, false, 8, eight, 0, true), false);
    session.TransmitFrame(CANBuffer(0x1, false, false, 15, eight), false);
    const std::vector<SentPacket> sent = TakeSentPackets();
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent[3].payload.size(), 6u);
    EXPECT_EQ(sent[4].payload.size(), 14u);
}

TEST_F(CommandsTest, TheSentLineShowsTheIdentifierTheDeviceGot) {
    Connect();
    const struct {
        uint32_t typed;
        bool extended;
        uint32_t shown;
    } cases[] = {{0xFFFFFFFF, true, 0x1FFFFFFF},
                 {0xFFFFFFFF, false, 0x7FF},
                 {0x18EF2000, true, 0x18EF2000},
                 {0x923, false, 0x123}};
    for (const auto& c : cases) {
        host.sentFrames.clear();
        session.TransmitFrame(CANBuffer(c.typed, false, c.extended, 0, nullptr), false);
        ASSERT_EQ(host.sentFrames.size(), 1u);
        EXPECT_EQ(host.sentFrames[0].id, c.shown) << std::hex << c.typed;
    }
}

TEST_F(CommandsTest, AFrameWithoutRoomIsNeitherShownNorAwaitedAndIsToldOnce) {
    Connect();
    const CANBuffer frame(0x123, false, false, 0, nullptr);
    device.pendingOutput = device.outputSize - 8;  // the 9-byte 'G' does not fit
    EXPECT_FALSE(session.RoomToTransmit(frame, true));
    for (int i = 0; i < 3; ++i) session.TransmitFrame(frame, true);
    EXPECT_TRUE(device.written.empty());
    EXPECT_TRUE(host.sentFrames.empty());
    EXPECT_EQ(session.PendingTimers(), 0u);

    const size_t linesBefore = host.logLines.size();
    ASSERT_TRUE(QTest::qWaitFor([&] { return host.logLines.size() > linesBefore; },
                                3 * HandleCAN::kUnsentReportMs));
    QTest::qWait(50);
    ASSERT_EQ(host.logLines.size(), linesBefore + 1);
    EXPECT_EQ(host.logLines.back(), " ** 3 frames not sent: output buffer full **");

    device.pendingOutput = 0;
    EXPECT_TRUE(session.RoomToTransmit(frame, true));
    session.TransmitFrame(frame, true);
    EXPECT_EQ(host.sentFrames.size(), 1u);
    EXPECT_EQ(session.PendingTimers(), 1u);
}

TEST_F(CommandsTest, NothingButResetAndIdentifyGoesOutWhileNotConnected) {
    host.OpenLink();
    const uint8_t data[] = {1};
    session.TransmitFrame(CANBuffer(0x123, false, false, 1, data), true);
    session.SendSetup(false);
    session.SendSetupAndFilters(false);
    session.SendFilter(0, FilterEntry{});
    session.SendDisplayFlags();
    EXPECT_TRUE(device.written.empty());
    EXPECT_TRUE(host.sentFrames.empty());
    EXPECT_EQ(session.PendingTimers(), 0u);
}

}  // namespace
