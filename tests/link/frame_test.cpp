#include "link/frame.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "link/serial.h"
#include "support/fake_serial_port_device.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Packet {
    uint8_t command;
    Bytes payload;
    bool operator==(const Packet&) const = default;
};

Bytes Encoded(uint8_t command, const Bytes& payload) {
    return Frame(command, static_cast<uint8_t>(payload.size()), payload.data()).Encode();
}

// Feeds the bytes to the assembler and collects every packet it completes.
std::vector<Packet> Assemble(Frame& assembler, const Bytes& bytes) {
    std::vector<Packet> packets;
    for (uint8_t byte : bytes) {
        if (assembler.Accept(byte))
            packets.push_back(
                {assembler.command,
                 Bytes(assembler.payload.begin(), assembler.payload.begin() + assembler.length)});
    }
    return packets;
}

std::vector<Packet> Assemble(const Bytes& bytes) {
    Frame assembler('Z', 1);
    return Assemble(assembler, bytes);
}

}  // namespace

TEST(Frame, EncodesWithEscapes) {
    EXPECT_EQ(Encoded('Y', {}), (Bytes{0x55, 0x59, 0x00}));
    EXPECT_EQ(Encoded('C', {0x01}), (Bytes{0x55, 0x43, 0x01, 0x01}));
    EXPECT_EQ(Encoded('A', {0x55, 0x1B, 0xD5, 0x9B}),
              (Bytes{0x55, 0x41, 0x04, 0x1B, 0xD5, 0x1B, 0x9B, 0xD5, 0x9B}));
    EXPECT_EQ(Encoded(0x55, {}), (Bytes{0x55, 0x1B, 0xD5, 0x00}));
    EXPECT_EQ(Encoded(0x1B, {}), (Bytes{0x55, 0x1B, 0x9B, 0x00}));

    const Bytes wire27 = Encoded('F', Bytes(27, 0x00));
    EXPECT_EQ(Bytes(wire27.begin(), wire27.begin() + 4), (Bytes{0x55, 0x46, 0x1B, 0x9B}));
    EXPECT_EQ(wire27.size(), 4u + 27u);
    const Bytes wire85 = Encoded('F', Bytes(85, 0x55));
    EXPECT_EQ(Bytes(wire85.begin(), wire85.begin() + 4), (Bytes{0x55, 0x46, 0x1B, 0xD5}));
    EXPECT_EQ(wire85.size(), 4u + 2u * 85u);
}

TEST(Frame, SendWritesWholePacketOrNothing) {
    FakeSerialPortDevice port;
    Serial link(port, "COM1", 0, 9600, 1024, 1024, 'n', 8, 1, 0);
    const uint8_t data[] = {0x90, 0x55};
    Frame packet('B', 2, data);
    EXPECT_TRUE(packet.Send(&link));
    EXPECT_EQ(port.TakeWritten(), (Bytes{0x55, 0x42, 0x02, 0x90, 0x1B, 0xD5}));
    EXPECT_EQ(packet.count, 0);

    Frame full('B', 2, data);
    port.pendingOutput = 1024 - 6 - 2;  // the packet fits, but not with the 3-byte margin
    EXPECT_TRUE(full.Send(&link));
    EXPECT_TRUE(port.TakeWritten().empty()) << "no part of a packet goes out";

    Frame unlinked('Y', 0);
    EXPECT_TRUE(unlinked.Send(nullptr));
}

TEST(Frame, AssemblesPackets) {
    EXPECT_EQ(Assemble({0x55, 0x5A, 0x00}), (std::vector<Packet>{{'Z', {}}}));
    EXPECT_EQ(Assemble({0x55, 0x4B, 0x01, 0x1B, 0x9B}), (std::vector<Packet>{{'K', {0x1B}}}));
    EXPECT_EQ(Assemble({0x55, 0x46, 0x05, 0x01, 0x02, 0x55, 0x5A, 0x00}),
              (std::vector<Packet>{{'Z', {}}}))
        << "a start byte drops the partial packet";
    EXPECT_EQ(Assemble({0x00, 0x12, 0x34, 0x5A, 0x00, 0x55, 0x59, 0x00}),
              (std::vector<Packet>{{'Y', {}}}))
        << "bytes before the first start byte are ignored";
    EXPECT_EQ(Assemble({0x55, 0x4B, 0x01, 0x1B, 0x1B, 0x9B}), (std::vector<Packet>{{'K', {0x1B}}}))
        << "an escape after an escape still clears bit 7 of the next byte";
    EXPECT_EQ(Assemble({0x55, 0x1B, 0xC8, 0x1B, 0x82, 0xD5, 0x1B, 0x9B}),
              (std::vector<Packet>{{'H', {0xD5, 0x1B}}}))
        << "escaped command and length";
    EXPECT_EQ(Assemble({0x55, 0x5A, 0x00, 0x4B, 0x01, 0x02}), (std::vector<Packet>{{'Z', {}}}))
        << "bytes after a complete packet wait for the next start byte";
}

TEST(Frame, ShortPacketReadsZerosBeyondItsLength) {
    Frame assembler('Z', 1);
    Bytes longPacket = Encoded('F', Bytes(19, 0xAA));
    ASSERT_EQ(Assemble(assembler, longPacket).size(), 1u);
    ASSERT_EQ(Assemble(assembler, Encoded('H', {0x01, 0x02})).size(), 1u);
    EXPECT_EQ(assembler.payload[0], 0x01);
    EXPECT_EQ(assembler.payload[1], 0x02);
    for (size_t i = 2; i < Frame::kPayloadSize; ++i) ASSERT_EQ(assembler.payload[i], 0) << i;

    // The same after a long packet that was cut off by a new start byte.
    Bytes cut = Encoded('F', Bytes(19, 0xBB));
    cut.resize(12);
    ASSERT_TRUE(Assemble(assembler, cut).empty());
    ASSERT_EQ(Assemble(assembler, Encoded('Z', {})).size(), 1u);
    for (size_t i = 0; i < Frame::kPayloadSize; ++i) ASSERT_EQ(assembler.payload[i], 0) << i;
}

TEST(Frame, EncodedPacketsAssembleToThemselves) {
    std::mt19937 random(20240611);
    // Mostly the two bytes that need escapes, so that runs of them are common.
    std::discrete_distribution<int> kind({3, 3, 4});
    const auto randomByte = [&] {
        switch (kind(random)) {
            case 0:
                return uint8_t{0x55};
            case 1:
                return uint8_t{0x1B};
            default:
                return static_cast<uint8_t>(random());
        }
    };
    Frame assembler('Z', 1);
    for (int round = 0; round < 3000; ++round) {
        Bytes payload(random() % 256);
        for (uint8_t& byte : payload) byte = randomByte();
        const Packet packet{randomByte(), payload};
        Bytes noise(random() % 4);
        for (uint8_t& byte : noise) byte = static_cast<uint8_t>(random()) & 0x3F;  // no 0x55
        Bytes wire = noise;
        const Bytes encoded = Encoded(packet.command, payload);
        wire.insert(wire.end(), encoded.begin(), encoded.end());
        ASSERT_EQ(Assemble(assembler, wire), std::vector<Packet>{packet}) << "round " << round;
    }
}

TEST(Frame, ComReceiveToldOfMissingBytesLeavesStateUnchanged) {
    FakeSerialPortDevice port;
    Serial link(port, "COM1", 0, 9600, 1024, 1024, 'n', 8, 1, 0);
    Frame assembler('Z', 1);
    std::vector<uint8_t> dispatched;
    const auto dispatch = [&](Frame& frame) { dispatched.push_back(frame.command); };

    port.Feed({0x55, 0x4B});
    ComReceive(assembler, &link, 2, dispatch);
    const Frame before = assembler;
    ComReceive(assembler, &link, 5, dispatch);
    EXPECT_EQ(assembler.inPacket, before.inPacket);
    EXPECT_EQ(assembler.stage, before.stage);
    EXPECT_EQ(assembler.index, before.index);
    EXPECT_EQ(assembler.escaped, before.escaped);
    EXPECT_EQ(assembler.command, before.command);
    EXPECT_TRUE(dispatched.empty());

    port.Feed({0x01, 0x07, 0x55, 0x5A, 0x00});
    ComReceive(assembler, &link, 5, dispatch);
    EXPECT_EQ(dispatched, (std::vector<uint8_t>{'K', 'Z'})) << "each packet before the next byte";
    ComReceive(assembler, &link, 1, dispatch);
    ComReceive(assembler, static_cast<Serial*>(nullptr), 3, dispatch);
    EXPECT_EQ(dispatched.size(), 2u);
}

TEST(Frame, ComReceiveInBatchesAssemblesAsByteByByte) {
    // Packets, cut packets, escapes and start bytes in random order, so that batches end
    // inside runs, after escapes and on start bytes.
    std::mt19937 random(20261208);
    const uint8_t pieces[] = {0x55, 0x1B, 0x1B, 0x9B, 0xD5, 0x00, 0x03, 0x46, 0x41};
    Bytes wire;
    for (int i = 0; i < 20000; ++i) {
        if (random() % 8 == 0) {
            const Bytes packet = Encoded('F', Bytes(random() % 40, static_cast<uint8_t>(random())));
            wire.insert(wire.end(), packet.begin(), packet.end());
        } else {
            wire.push_back(pieces[random() % std::size(pieces)]);
        }
    }
    const std::vector<Packet> expected = Assemble(wire);
    ASSERT_GT(expected.size(), 1000u);
    for (int reported : {1, 2, 7, 300, Serial::kReadBatch + 1}) {
        FakeSerialPortDevice port;
        Serial link(port, "COM1", 0, 9600, 1024, 1024, 'n', 8, 1, 0);
        Frame assembler('Z', 1);
        std::vector<Packet> packets;
        port.Feed(wire);
        while (!port.input.empty() || !link.Received().empty())
            ComReceive(assembler, &link, reported, [&](Frame& packet) {
                packets.push_back({packet.command, Bytes(packet.payload.begin(),
                                                         packet.payload.begin() + packet.length)});
            });
        EXPECT_EQ(packets, expected) << "batches of " << reported;
    }
}

TEST(Frame, ComReceiveKeepsTheOrderForANestedHandlerAndStopsWhenTheLinkCloses) {
    FakeSerialPortDevice port;
    auto link = std::make_unique<Serial>(port, "COM1", 0, 9600, 1024, 1024, 'n', 8, 1, 0);
    Frame assembler('Z', 1);
    std::vector<uint8_t> dispatched;
    std::function<void(Frame&)> dispatch = [&](Frame& packet) {
        dispatched.push_back(packet.command);
        // As a modal box: its own loop receives the packet that arrives while it is open, and
        // the user disconnects.
        if (packet.command == 'A') {
            port.Feed(Encoded('D', {}));
            ComReceive(assembler, link, 3, dispatch);
        }
        if (packet.command == 'D') link.reset();
    };
    port.Feed({0x55, 'A', 0x00, 0x55, 'B', 0x00, 0x55, 'C', 0x00});
    ComReceive(assembler, link, 9, dispatch);
    EXPECT_EQ(dispatched, (std::vector<uint8_t>{'A', 'B', 'C', 'D'})) << "in the order they came";
    EXPECT_EQ(link, nullptr);

    // The link closes with bytes of the batch left: nothing after the closing packet is fed.
    link = std::make_unique<Serial>(port, "COM1", 0, 9600, 1024, 1024, 'n', 8, 1, 0);
    port.Feed({0x55, 'D', 0x00, 0x55, 'E', 0x00});
    ComReceive(assembler, link, 6, dispatch);
    EXPECT_EQ(dispatched.back(), 'D');
}
