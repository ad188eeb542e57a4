#include "link/serial.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/fake_serial_port_device.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct LinkOptions {
    std::string name;
    int number = 0;
    int baud = 9600;
    int dataBits = 8;
    int stopBits = 1;
    int softFlow = 0;
};

Serial OpenLink(FakeSerialPortDevice& port, const LinkOptions& o = {}) {
    return Serial(port, o.name, o.number, o.baud, 1024, 1024, 'n', o.dataBits, o.stopBits,
                  o.softFlow);
}

// What WriteByte(value, raw) puts on the line.
Bytes WireBytes(int softFlow, int value, int raw = 0) {
    FakeSerialPortDevice port;
    Serial link(port, "COM1", 0, 9600, 1024, 1024, 'n', 8, 1, softFlow);
    EXPECT_TRUE(link.WriteByte(value, raw));
    return port.TakeWritten();
}

}  // namespace

TEST(Serial, AppliesLineSettingsAndOpens) {
    FakeSerialPortDevice standard;
    {
        Serial link = OpenLink(standard, {.name = "", .number = 4, .baud = 9600});
        EXPECT_TRUE(link.isOpen);
        EXPECT_EQ(standard.portName, "COM4");
        EXPECT_EQ(standard.baudRate, 9600);
        EXPECT_FALSE(standard.customBaudRate);
        EXPECT_EQ(standard.inputSize, 1024);
        EXPECT_EQ(standard.outputSize, 1024);
        EXPECT_EQ(standard.flowControl, SerialPortDevice::FlowControl::None);
        EXPECT_TRUE(standard.transmitted.empty());
    }
    EXPECT_FALSE(standard.open) << "the destructor closes the port";

    FakeSerialPortDevice custom;
    custom.dataBits = 6;
    custom.stopBits = 2;
    Serial link = OpenLink(
        custom, {.name = "/dev/pts/4", .number = 7, .baud = 250000, .dataBits = 9, .stopBits = 3});
    EXPECT_EQ(custom.portName, "/dev/pts/4") << "a name wins over the number";
    EXPECT_EQ(custom.baudRate, 250000);
    EXPECT_TRUE(custom.customBaudRate);
    EXPECT_EQ(custom.dataBits, 6) << "an unknown data-bit count leaves the setting";
    EXPECT_EQ(custom.stopBits, 2) << "an unknown stop-bit count leaves the setting";

    FakeSerialPortDevice soft;
    Serial softLink = OpenLink(soft, {.name = "COM2", .dataBits = 7, .stopBits = 2, .softFlow = 5});
    EXPECT_TRUE(softLink.softFlow);
    EXPECT_EQ(soft.dataBits, 7);
    EXPECT_EQ(soft.stopBits, 2);
    EXPECT_EQ(soft.flowControl, SerialPortDevice::FlowControl::Software);
    EXPECT_EQ(soft.transmitted, Bytes{0x11}) << "one XON once the port is open";
}

TEST(Serial, SoftFlowEscapesControlBytesOnWrite) {
    EXPECT_EQ(WireBytes(1, 0x11), (Bytes{0x1B, 0x91}));
    EXPECT_EQ(WireBytes(1, 0x13), (Bytes{0x1B, 0x93}));
    EXPECT_EQ(WireBytes(1, 0x1B), (Bytes{0x1B, 0x9B}));
    EXPECT_EQ(WireBytes(1, 0x4B), (Bytes{0x1B, 0xCB}));
    EXPECT_EQ(WireBytes(1, 0x0B), (Bytes{0x1B, 0x8B})) << "0x0B as a control byte";
    EXPECT_EQ(WireBytes(1, 0x05), (Bytes{0x1B, 0x85}));
    EXPECT_EQ(WireBytes(1, 0x00), (Bytes{0x1B, 0x80}));
    EXPECT_EQ(WireBytes(1, 0x10), Bytes{0x10});
    EXPECT_EQ(WireBytes(1, 0xCB), Bytes{0xCB});
    EXPECT_EQ(WireBytes(1, 0x05, 1), Bytes{0x05}) << "raw control bytes go out as they are";
    EXPECT_EQ(WireBytes(1, -2), Bytes{0xFE}) << "a negative value goes out as its low byte";
    EXPECT_EQ(WireBytes(0, 0x11), Bytes{0x11});
    EXPECT_EQ(WireBytes(0, 0x1B), Bytes{0x1B});
}

TEST(Serial, SoftFlowRemovesEscapesOnRead) {
    FakeSerialPortDevice port;
    Serial link = OpenLink(port, {.name = "COM1", .softFlow = 1});
    port.Feed({0x1B, 0xCB, 0x41, 0x1B, 0x1B, 0x91});
    EXPECT_EQ(link.ReadByte(), 0x4B);
    EXPECT_EQ(link.ReadByte(), 0x41);
    EXPECT_EQ(link.ReadByte(), 0x11) << "a run of escapes counts as one";
    port.Feed({0x1B});
    EXPECT_EQ(link.ReadByte(), -1) << "a lone escape with nothing after it";
    EXPECT_EQ(link.ReadByte(), -1);

    // A long run of escapes must not grow the stack with every byte.
    port.Feed(Bytes(1'000'000, 0x1B));
    port.Feed({0xC1});
    EXPECT_EQ(link.ReadByte(), 0x41);

    FakeSerialPortDevice plainPort;
    Serial plain = OpenLink(plainPort, {.name = "COM1"});
    plainPort.Feed({0x1B, 0xCB});
    EXPECT_EQ(plain.ReadByte(), 0x1B);
    EXPECT_EQ(plain.ReadByte(), 0xCB);
    EXPECT_EQ(plain.ReadByte(), -1);
}

TEST(Serial, ReadByteWaitReturnsWaitingByteOrTimesOut) {
    FakeSerialPortDevice port;
    Serial link = OpenLink(port, {.name = "COM1"});
    port.Feed({0x5A});
    EXPECT_EQ(link.BytesWaiting(), 1);
    EXPECT_EQ(link.ReadByteWait(0), 0x5A);
    EXPECT_EQ(link.ReadByteWait(1), -1);
}

TEST(Serial, NearlyFullOutputDropsWrites) {
    FakeSerialPortDevice port;
    Serial link = OpenLink(port, {.name = "COM1"});
    port.pendingOutput = 1021;
    EXPECT_EQ(link.OutputFree(), 3);
    EXPECT_TRUE(link.WriteByte(0x41, 0));
    port.pendingOutput = 1022;
    EXPECT_FALSE(link.WriteByte(0x42, 0));
    port.pendingOutput = 1030;
    EXPECT_EQ(link.OutputFree(), 0) << "never below 0";
    EXPECT_FALSE(link.WriteByte(0x43, 0));
    EXPECT_EQ(port.TakeWritten(), Bytes{0x41});
}

TEST(Serial, WriteBlockIsWholeOrNothing) {
    FakeSerialPortDevice port;
    Serial link = OpenLink(port, {.name = "COM1", .softFlow = 1});
    const Bytes data = {0x55, 0x11, 0x20};  // 0x11 doubles with softFlow: 4 bytes on the line
    port.pendingOutput = 1024 - 4 - 2;      // 2 free beyond the packet: inside the margin
    EXPECT_FALSE(link.WriteBlock(data.data(), data.size()));
    EXPECT_TRUE(port.TakeWritten().empty());
    port.pendingOutput = 1024 - 4 - 3;
    EXPECT_TRUE(link.WriteBlock(data.data(), data.size()));
    EXPECT_EQ(port.TakeWritten(), (Bytes{0x55, 0x1B, 0x91, 0x20}));
}

TEST(Serial, ClosedLinkDoesNothing) {
    FakeSerialPortDevice port;
    port.failOpen = true;
    port.Feed({0x41});
    Serial link = OpenLink(port, {.name = "COM9", .softFlow = 1});
    EXPECT_FALSE(link.isOpen);
    EXPECT_EQ(link.ReadByte(), -1);
    EXPECT_EQ(link.ReadByteWait(0), -1);
    EXPECT_FALSE(link.WriteByte(0x41, 0));
    const uint8_t byte = 0x41;
    EXPECT_FALSE(link.WriteBlock(&byte, 1));
    EXPECT_EQ(link.BytesWaiting(), 0);
    EXPECT_EQ(link.OutputFree(), 0);
    link.SendXon();
    EXPECT_TRUE(port.transmitted.empty());
    EXPECT_TRUE(port.written.empty());
}

TEST(Serial, ReadWaitingTakesABatchWithoutTheSoftFlowEscaping) {
    struct Case {
        const char* what;
        Bytes wire;
        int most;
        Bytes held;
        Bytes leftInPort;
    };
    const Case cases[] = {
        {"escapes inside the batch",
         {0x1B, 0xCB, 0x41, 0x1B, 0x1B, 0x91},
         6,
         {0x4B, 0x41, 0x11},
         {}},
        {"at most the bytes asked for", {0x41, 0x42, 0x43}, 2, {0x41, 0x42}, {0x43}},
        {"an escape closing the batch takes the next byte",
         {0x41, 0x1B, 0xCB, 0x42},
         2,
         {0x41, 0x4B},
         {0x42}},
        {"a run of escapes closing the batch", {0x1B, 0x1B, 0x1B, 0x91, 0x42}, 2, {0x11}, {0x42}},
        {"a lone escape at the end is dropped", {0x41, 0x1B}, 8, {0x41}, {}},
    };
    for (const Case& c : cases) {
        FakeSerialPortDevice port;
        Serial link = OpenLink(port, {.name = "COM1", .softFlow = 1});
        port.Feed(c.wire);
        EXPECT_EQ(link.ReadWaiting(c.most), std::min<int>(c.most, c.wire.size())) << c.what;
        EXPECT_EQ(Bytes(link.Received().begin(), link.Received().end()), c.held) << c.what;
        EXPECT_EQ(Bytes(port.input.begin(), port.input.end()), c.leftInPort) << c.what;
    }
}

TEST(Serial, BusyReadsTakeTheHeldBytesFirst) {
    FakeSerialPortDevice port;
    Serial link = OpenLink(port, {.name = "COM1"});
    port.Feed({0x01, 0x02, 0x03});
    ASSERT_EQ(link.ReadWaiting(2), 2);
    EXPECT_EQ(link.ReadWaiting(2), 0) << "nothing is read while bytes are held";
    EXPECT_EQ(link.BytesWaiting(), 3);
    EXPECT_EQ(link.ReadByteWait(0), 0x01);
    link.TakeReceived(1);
    EXPECT_TRUE(link.Received().empty());
    EXPECT_EQ(link.ReadByte(), 0x03);
    EXPECT_EQ(link.BytesWaiting(), 0);
}
