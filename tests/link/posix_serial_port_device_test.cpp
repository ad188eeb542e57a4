// The serial port device over a real pseudo-terminal: the busy waits of the session must see the
// device's bytes while the event loop is blocked, without re-entering the receive handler, and
// whatever they leave waiting must still be announced once the loop runs.
#include "link/posix_serial_port_device.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "common/ticks.h"
#include "link/frame.h"
#include "link/serial.h"
#include "pseudo_terminal.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Generous guards against a hanging test, not timing requirements.
constexpr int kGuardMs = 5000;

// Runs the event loop until `done` holds or the guard passes; true when it holds.
bool RunEventLoopUntil(const std::function<bool()>& done) {
    const uint64_t deadline = TickCount() + kGuardMs;
    while (!done() && TickCount() < deadline)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

void RunEventLoopFor(int ms) {
    const uint64_t deadline = TickCount() + static_cast<uint64_t>(ms);
    while (TickCount() < deadline) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// The main window's wiring: the receive notification drives ComReceive into an assembler,
// and every completed packet's command is kept.
class PortOverPty : public testing::Test {
  protected:
    void SetUp() override {
        device.onRxChar = [this](int reported) {
            notifications.push_back(reported);
            ComReceive(assembler, link.get(), reported,
                       [this](Frame& packet) { packets.push_back(packet.command); });
        };
        device.onError = [this](SerialPortDevice::ErrorKind kind) { errors.push_back(kind); };
        link = std::make_unique<Serial>(device, pty.SlavePath(), 0, 9600, 1024, 1024, 'n', 8, 1, 0);
        ASSERT_TRUE(link->isOpen) << pty.SlavePath();
    }

    void TearDown() override {
        link.reset();
        RunEventLoopFor(20);  // nothing posted may outlive the link unnoticed
    }

    PseudoTerminal pty;
    PosixSerialPortDevice device;
    std::unique_ptr<Serial> link;
    Frame assembler{'Z', 1};
    std::vector<int> notifications;
    std::vector<uint8_t> packets;
    std::vector<SerialPortDevice::ErrorKind> errors;
};

}  // namespace

TEST_F(PortOverPty, BusyReadsSeeBytesWithoutTheEventLoopOrTheReceiveHandler) {
    pty.Send({0x55, 0x5A, 0x00});
    EXPECT_EQ(link->ReadByteWait(kGuardMs / 1000), 0x55);
    EXPECT_EQ(link->ReadByteWait(kGuardMs / 1000), 0x5A);
    EXPECT_EQ(link->ReadByteWait(kGuardMs / 1000), 0x00);

    pty.Send({0x41});
    EXPECT_TRUE(BusyWaitFor(TickCount() + kGuardMs, [&] { return link->BytesWaiting() > 0; }));
    EXPECT_EQ(link->ReadByte(), 0x41);
    EXPECT_TRUE(notifications.empty()) << "a busy read ran the receive handler";
}

TEST_F(PortOverPty, BytesLeftByABusyReadGetOneQueuedNotification) {
    // The first busy read finds one byte and takes it.
    pty.Send({0x55});
    ASSERT_TRUE(pty.WaitUntilQueued(1, kGuardMs));
    EXPECT_FALSE(assembler.ReceiveByte(link.get()));
    EXPECT_TRUE(assembler.inPacket);

    // A second busy check pulls the rest of the packet and another one, and leaves them.
    pty.Send({0x5A, 0x00, 0x55, 0x59, 0x00});
    ASSERT_TRUE(pty.WaitUntilQueued(5, kGuardMs));
    EXPECT_EQ(link->BytesWaiting(), 5);
    EXPECT_EQ(link->BytesWaiting(), 5);
    EXPECT_TRUE(notifications.empty());

    ASSERT_TRUE(RunEventLoopUntil([&] { return !notifications.empty(); }));
    RunEventLoopFor(50);
    EXPECT_EQ(notifications, std::vector<int>{5}) << "exactly one notification, for all that waits";
    EXPECT_EQ(packets, (std::vector<uint8_t>{'Z', 'Y'}));
    EXPECT_EQ(link->BytesWaiting(), 0);
    EXPECT_TRUE(errors.empty()) << "the zero-time waits of a busy check are no errors";
}

TEST_F(PortOverPty, ArrivingBytesRunTheReceiveHandlerFromTheEventLoop) {
    pty.Send({0x00, 0x12, 0x55, 0x4B, 0x01, 0x1B, 0x9B});
    ASSERT_TRUE(RunEventLoopUntil([&] { return !packets.empty(); }));
    EXPECT_EQ(packets, std::vector<uint8_t>{'K'});
    EXPECT_EQ(assembler.payload[0], 0x1B);
    EXPECT_TRUE(errors.empty());
}

TEST_F(PortOverPty, BytesTricklingInComeInFewNotificationsAndAllOfThem) {
    // The device sends 100 packets a byte at a time, a byte every 0.2 ms. Handled as they
    // arrive, that would be a notification per byte; after each notification the port rests
    // for a read pause, so notifications come at least that far apart.
    std::vector<uint8_t> sent;
    for (uint8_t i = 0; i < 100; ++i) sent.push_back(static_cast<uint8_t>('a' + i % 26));
    std::thread device([&] {
        for (uint8_t command : sent)
            for (uint8_t byte : {uint8_t{0x55}, command, uint8_t{0x01}, uint8_t{0x00}}) {
                pty.Send({byte});
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
    });
    QElapsedTimer clock;
    RunEventLoopUntil([&] {
        if (notifications.size() == 1) clock.start();
        return packets.size() == sent.size();
    });
    const qint64 elapsedMs = clock.elapsed();
    device.join();
    EXPECT_EQ(packets, sent);
    EXPECT_LE(static_cast<qint64>(notifications.size()),
              elapsedMs / PosixSerialPortDevice::kReadPauseMs + 2)
        << "notifications in " << elapsedMs << " ms";
    EXPECT_TRUE(errors.empty());
}

TEST_F(PortOverPty, ANestedLoopOfTheReceiveHandlerGetsWhatArrivesMeanwhile) {
    // As a message box that the handler opens: the first packet starts a nested event loop,
    // and the device's next packet must be handled inside it.
    size_t handledInside = 0;
    device.onRxChar = [this, &handledInside, handler = device.onRxChar](int reported) {
        handler(reported);
        if (packets.size() != 1 || handledInside != 0) return;
        pty.Send({0x55, 0x59, 0x00});
        RunEventLoopUntil([&] { return packets.size() == 2; });
        handledInside = packets.size();
    };
    pty.Send({0x55, 0x5A, 0x00});
    ASSERT_TRUE(RunEventLoopUntil([&] { return packets.size() == 2; }));
    EXPECT_EQ(handledInside, 2u);
    EXPECT_EQ(packets, (std::vector<uint8_t>{'Z', 'Y'}));
}

TEST_F(PortOverPty, HangUpWhileTheReadNotifierRestsIsStillReported) {
    pty.Send({0x55, 0x5A, 0x00});
    ASSERT_TRUE(RunEventLoopUntil([&] { return !packets.empty(); }));
    pty.CloseMaster();  // within the read pause that followed the notification
    ASSERT_TRUE(RunEventLoopUntil([&] { return !errors.empty(); }));
    EXPECT_EQ(errors,
              std::vector<SerialPortDevice::ErrorKind>{SerialPortDevice::ErrorKind::ResourceLost});
    EXPECT_FALSE(device.IsOpen());
}

TEST_F(PortOverPty, WritesReachTheLineWithoutTheEventLoop) {
    const Bytes reset = {0x55, 0x52};
    ASSERT_TRUE(link->WriteBlock(reset.data(), reset.size()));
    EXPECT_EQ(pty.Receive(2, kGuardMs), reset);

    Frame identify('Y', 0);
    identify.Send(link.get());
    EXPECT_EQ(pty.Receive(3, kGuardMs), (Bytes{0x55, 0x59, 0x00}));
    EXPECT_EQ(link->OutputFree(), 1024);

    EXPECT_TRUE(link->WriteByte(0x1B, 0));
    EXPECT_EQ(pty.Receive(1, kGuardMs), Bytes{0x1B});
}

TEST_F(PortOverPty, HangUpIsReportedOnceAsResourceLostAndClosesThePort) {
    pty.CloseMaster();
    ASSERT_TRUE(RunEventLoopUntil([&] { return !errors.empty(); }));
    RunEventLoopFor(50);
    EXPECT_EQ(errors,
              std::vector<SerialPortDevice::ErrorKind>{SerialPortDevice::ErrorKind::ResourceLost});
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(link->BytesWaiting(), 0);
    EXPECT_EQ(link->ReadByte(), -1);
}

TEST_F(PortOverPty, HangUpFoundByABusyCheckIsReportedFromTheEventLoop) {
    pty.CloseMaster();
    EXPECT_EQ(link->BytesWaiting(), 0);
    EXPECT_EQ(link->BytesWaiting(), 0);
    EXPECT_TRUE(errors.empty()) << "reported from inside a busy wait";
    ASSERT_TRUE(RunEventLoopUntil([&] { return !errors.empty(); }));
    RunEventLoopFor(50);
    EXPECT_EQ(errors,
              std::vector<SerialPortDevice::ErrorKind>{SerialPortDevice::ErrorKind::ResourceLost});
    EXPECT_FALSE(device.IsOpen());
}

TEST_F(PortOverPty, ErrorOfALineClosedBeforeTheLoopRunsDoesNotReachTheNextPort) {
    // Auto-detect opens port after port on one device without running the event loop.
    pty.CloseMaster();
    EXPECT_EQ(link->BytesWaiting(), 0);
    link.reset();
    PseudoTerminal next;
    link = std::make_unique<Serial>(device, next.SlavePath(), 0, 9600, 1024, 1024, 'n', 8, 1, 0);
    ASSERT_TRUE(link->isOpen);
    RunEventLoopFor(50);
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(device.IsOpen());
    link.reset();
}

TEST(PosixSerialPortDevice, OpeningAMissingPortFailsQuietly) {
    for (const char* name : {"/dev/brannox-no-such-port", "COM250"}) {
        PosixSerialPortDevice device;
        int errorCount = 0;
        device.onError = [&](SerialPortDevice::ErrorKind) { ++errorCount; };
        {
            Serial link(device, name, 0, 9600, 1024, 1024, 'n', 8, 1, 0);
            EXPECT_FALSE(link.isOpen) << name;
            EXPECT_FALSE(device.IsOpen());
            EXPECT_EQ(link.BytesWaiting(), 0);
        }
        RunEventLoopFor(20);
        EXPECT_EQ(errorCount, 0) << name;
    }
}

TEST(PosixSerialPortDevice, SetsAnyLineRate) {
    for (int rate : {9600, 14400, 56000, 115200, 250000, 1000000}) {
        PseudoTerminal pty;
        PosixSerialPortDevice device;
        Serial link(device, pty.SlavePath(), 0, rate, 1024, 1024, 'n', 8, 1, 0);
        ASSERT_TRUE(link.isOpen);
        EXPECT_EQ(pty.LineRate(), rate);
    }
}
