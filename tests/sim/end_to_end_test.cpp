// The program's serial path (PosixSerialPortDevice, Serial, Frame, HandleCAN) against ostrel-sim
// over a real pseudo-terminal.

#include <gtest/gtest.h>
#include <signal.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "link/port_names.h"
#include "link/pseudo_terminal.h"
#include "logs/save_message_log.h"
#include "pc_session.h"
#include "session/frame_store.h"
#include "sim_ports/simulated_port_registry.h"
#include "sim_process.h"
#include "support/recording_user_messages.h"

namespace {

// Generous limits against a hang; nothing here measures speed.
constexpr int kConnectTimeoutMs = 5000;
constexpr int kFramesTimeoutMs = 20000;

using Bytes = std::vector<uint8_t>;

CANBuffer RecordOf(const TracedPacket& packet) {
    uint8_t layout[CANBufferPIC::kSize] = {};
    std::copy(packet.payload.begin(), packet.payload.end(), layout);
    return FromPIC(CANBufferPIC::FromBytes(layout));
}

std::vector<TracedPacket> WithLetter(const std::vector<TracedPacket>& packets, uint8_t letter) {
    std::vector<TracedPacket> matching;
    for (const TracedPacket& packet : packets)
        if (packet.letter == letter) matching.push_back(packet);
    return matching;
}

// Starts a simulator and connects the PC to it; fails the test when either does not work.
void ConnectTo(PcSession& pc, const SimProcess& sim) {
    ASSERT_FALSE(sim.port().empty()) << "the simulator did not start";
    ASSERT_TRUE(pc.Connect(sim.port()));
    ASSERT_TRUE(pc.RunUntil([&] { return pc.session.connected; }, kConnectTimeoutMs));
}

void ExpectSameFrame(const CANBuffer& stored, const CANBuffer& sent, size_t index) {
    SCOPED_TRACE("frame " + std::to_string(index));
    EXPECT_EQ(stored.sequence, index);
    EXPECT_EQ(stored.id, sent.id);
    EXPECT_EQ(stored.extended, sent.extended);
    EXPECT_EQ(stored.response, sent.response);
    EXPECT_EQ(stored.control, sent.control);
    EXPECT_EQ(stored.dlc, sent.dlc);
    EXPECT_EQ(stored.data, sent.data);
    EXPECT_EQ(stored.timestamp, sent.timestamp);
    EXPECT_EQ(stored.brief, 0);
}

}  // namespace

TEST(EndToEnd, ConnectHandshakeAsTheDeviceReceivesIt) {
    SimProcess sim({"--count", "0"});
    PcSession pc;
    pc.config.busRate = 250000;
    pc.config.listenOnly = 1;
    pc.session.SetBriefMode(true);
    pc.config.lcdOn = 1;
    pc.config.useFilters = 1;
    pc.config.filterCount = 1;
    pc.config.filters[0] = FilterEntry{0x123, 0x7FF, 0, {}};
    ConnectTo(pc, sim);
    EXPECT_EQ(pc.logLines, std::vector<std::string>{" ** Connected **"});
    ASSERT_TRUE(pc.RunUntil([&] { return sim.Trace(TracedPacket::kFromPc).size() >= 10; },
                            kConnectTimeoutMs));

    const std::vector<TracedPacket> received = sim.Trace(TracedPacket::kFromPc);
    ASSERT_EQ(received.size(), 10u);
    EXPECT_EQ(received[0].letter, 'R');
    EXPECT_EQ(received[1].letter, 'Y');
    EXPECT_TRUE(received[1].payload.empty());
    // The PC waits 500 ms between the two. The simulator notes when it reads each, and on a
    // busy machine it may read the reset a few milliseconds late, never the wait away.
    constexpr uint64_t kReadingLagUs = 50000;
    EXPECT_GE(received[1].timeUs - received[0].timeUs, 500000u - kReadingLagUs);
    EXPECT_EQ(received[2].letter, 'B');
    EXPECT_EQ(received[2].payload, (Bytes{0x90, 0xD0, 0x03, 0x00, 0x00, 0x01, 0x01}));
    const Bytes filters[6] = {
        {0x00, 0x00, 0x23, 0x01, 0x00, 0x00, 0xFF, 0x07, 0x00, 0x00},
        {0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x07, 0x00, 0x00},
        {0x02, 0x01, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x1F},
        {0x03, 0x01, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x1F},
        {0x04, 0x01, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x1F},
        {0x05, 0x01, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x1F},
    };
    for (int j = 0; j < 6; ++j) {
        EXPECT_EQ(received[3 + j].letter, 'A');
        EXPECT_EQ(received[3 + j].payload, filters[j]) << "filter " << j;
    }
    EXPECT_EQ(received[9].letter, 'C');
    EXPECT_EQ(received[9].payload, Bytes{0x01});
    const std::vector<TracedPacket> answers = sim.Trace(TracedPacket::kToPc);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].letter, 'Z');
}

TEST(EndToEnd, GeneratedFramesArriveInOrderEvenWithGarbageBetweenPackets) {
    for (const char* garbage : {"0", "0.3"}) {
        SCOPED_TRACE(std::string("garbage share ") + garbage);
        SimProcess sim({"--rate", "2000", "--ids", "123,18EF2000,7FF", "--dlc", "0-8", "--count",
                        "300", "--seed", "7", "--garbage", garbage});
        PcSession pc;
        ConnectTo(pc, sim);
        ASSERT_TRUE(pc.RunUntil([&] { return pc.store().Size() >= 300; }, kFramesTimeoutMs))
            << pc.store().Size() << " frames arrived";
        pc.RunFor(50);

        const std::vector<TracedPacket> sent = WithLetter(sim.Trace(TracedPacket::kToPc), 'F');
        ASSERT_EQ(sent.size(), 300u);
        ASSERT_EQ(pc.store().Size(), 300u);
        const uint32_t ids[] = {0x123, 0x18EF2000, 0x7FF};
        for (size_t i = 0; i < sent.size(); ++i) {
            const CANBuffer expected = RecordOf(sent[i]);
            ExpectSameFrame(pc.store()[i], expected, i);
            EXPECT_EQ(expected.id, ids[i % 3]);
            EXPECT_EQ(expected.extended, i % 3 == 1);
            // 2000 frames a second: 500 us, 1000 ticks apart.
            if (i > 0) {
                EXPECT_EQ(expected.timestamp - RecordOf(sent[i - 1]).timestamp, 1000u);
            }
        }
    }
}

TEST(EndToEnd, AcknowledgedTransmitWithAndWithoutTheAcknowledge) {
    const uint8_t data[] = {0x11, 0x22};
    const CANBuffer frame(0x123, false, false, 2, data);
    {
        SimProcess sim({"--count", "0"});
        PcSession pc;
        ConnectTo(pc, sim);
        pc.session.TransmitFrame(frame, true);
        pc.RunFor(HandleCAN::kAcknowledgeTimeoutMs + 300);
        EXPECT_TRUE(pc.messages.boxes.empty());
        EXPECT_EQ(pc.session.PendingTimers(), 0u);
        EXPECT_TRUE(pc.session.connected);
        const std::vector<TracedPacket> transmitted =
            WithLetter(sim.Trace(TracedPacket::kFromPc), 'G');
        ASSERT_EQ(transmitted.size(), 1u);
        EXPECT_EQ(transmitted[0].payload, (Bytes{0x00, 0x24, 0x60, 0x00, 0x00, 0x02, 0x11, 0x22}));
        EXPECT_EQ(WithLetter(sim.Trace(TracedPacket::kToPc), 'K').size(), 1u);
    }
    {
        SimProcess sim({"--count", "0", "--no-ack"});
        PcSession pc;
        ConnectTo(pc, sim);
        pc.session.TransmitFrame(frame, true);
        ASSERT_TRUE(pc.RunUntil([&] { return !pc.messages.boxes.empty(); },
                                HandleCAN::kAcknowledgeTimeoutMs + 2000));
        EXPECT_EQ(pc.messages.boxes[0].text, "Brannox Timeout\nDisconnected");
        EXPECT_EQ(pc.messages.boxes[0].caption, "Information");
        EXPECT_EQ(pc.link, nullptr);
        EXPECT_FALSE(pc.session.connected);
        // The disconnect resets the device: 'B' with the modes off, then 55 52.
        ASSERT_TRUE(
            pc.RunUntil([&] { return sim.Trace(TracedPacket::kFromPc).back().letter == 'R'; },
                        kConnectTimeoutMs));
        const std::vector<TracedPacket> received = sim.Trace(TracedPacket::kFromPc);
        const TracedPacket& lastSetup = received[received.size() - 2];
        EXPECT_EQ(lastSetup.letter, 'B');
        EXPECT_EQ(lastSetup.payload, (Bytes{0x20, 0xA1, 0x07, 0x00, 0x00, 0x00, 0x00}));
    }
}

TEST(EndToEnd, ASilentDeviceIsNotFound) {
    SimProcess sim({"--silent"});
    ASSERT_FALSE(sim.port().empty());
    PcSession pc;
    ASSERT_TRUE(pc.Connect(sim.port()));
    ASSERT_TRUE(pc.RunUntil([&] { return !pc.messages.boxes.empty(); },
                            HandleCAN::kIdentifyTimeoutMs + 2000));
    EXPECT_EQ(pc.messages.boxes[0].text, "Can't find Brannox");
    EXPECT_EQ(pc.messages.boxes[0].caption, "Information");
    EXPECT_EQ(pc.link, nullptr);
    EXPECT_FALSE(pc.session.connected);
    EXPECT_TRUE(pc.store().Empty());
}

TEST(EndToEnd, LoopbackReturnsSentFrames) {
    SimProcess sim({"--count", "0"});
    PcSession pc;
    pc.config.loopback = 1;
    ConnectTo(pc, sim);
    const uint8_t data[] = {0x55, 0x1B, 0xD5};
    pc.session.TransmitFrame(CANBuffer(0x18EF2000, false, true, 3, data), false);
    pc.session.TransmitFrame(CANBuffer(0x7FF, true, false, 0, nullptr), true);
    ASSERT_TRUE(pc.RunUntil([&] { return pc.store().Size() >= 2; }, kConnectTimeoutMs));
    pc.RunFor(50);
    ASSERT_EQ(pc.store().Size(), 2u);
    const CANBuffer& first = pc.store()[0];
    EXPECT_EQ(first.id, 0x18EF2000u);
    EXPECT_TRUE(first.extended);
    EXPECT_EQ(first.dlc, 3);
    EXPECT_EQ(first.data[0], 0x55);
    EXPECT_EQ(first.data[1], 0x1B);
    EXPECT_EQ(first.data[2], 0xD5);
    const CANBuffer& second = pc.store()[1];
    EXPECT_EQ(second.id, 0x7FFu);
    EXPECT_TRUE(second.response);
    EXPECT_EQ(pc.session.PendingTimers(), 0u) << "the 'G' was acknowledged";
}

TEST(EndToEnd, BriefModeGivesBriefRecords) {
    SimProcess sim({"--rate", "1000", "--ids", "123,18EF2000", "--dlc", "8", "--count", "10"});
    PcSession pc;
    pc.session.SetBriefMode(true);
    ConnectTo(pc, sim);
    ASSERT_TRUE(pc.RunUntil([&] { return pc.store().Size() >= 10; }, kFramesTimeoutMs));
    const std::vector<TracedPacket> sent = WithLetter(sim.Trace(TracedPacket::kToPc), 'H');
    ASSERT_EQ(sent.size(), 10u);
    for (size_t i = 0; i < 10; ++i) {
        const CANBuffer& record = pc.store()[i];
        EXPECT_EQ(record.brief, 1);
        EXPECT_EQ(record.id, i % 2 == 0 ? 0x123u : 0x18EF2000u);
        EXPECT_EQ(record.extended, i % 2 == 1);
        EXPECT_EQ(sent[i].payload.size(), 6u);
    }
}

TEST(EndToEnd, FiltersKeepOutWhatTheyShould) {
    // Per cycle of six identifiers, three pass: 123 (slot 0), 305 (slot 1, under slot 0's
    // mask) and 18EF20AB (slot 2).
    SimProcess sim(
        {"--rate", "1000", "--ids", "123,223,305,18EF20AB,18EF3000,00000123", "--count", "12"});
    PcSession pc;
    pc.config.useFilters = 1;
    pc.config.filterCount = 3;
    pc.config.filters[0] = FilterEntry{0x120, 0x7F0, 0, {}};
    pc.config.filters[1] = FilterEntry{0x300, 0x7F0, 0, {}};
    pc.config.filters[2] = FilterEntry{0x18EF2000, 0x1FFFFF00, 1, {}};
    ConnectTo(pc, sim);
    ASSERT_TRUE(pc.RunUntil([&] { return pc.store().Size() >= 6; }, kFramesTimeoutMs));
    pc.RunFor(100);
    ASSERT_EQ(pc.store().Size(), 6u);
    const uint32_t passed[] = {0x123, 0x305, 0x18EF20AB};
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(pc.store()[i].id, passed[i % 3]) << i;
}

TEST(EndToEnd, AReplayedLogArrivesCompleteAndInOrder) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("bus.log").toStdString();
    constexpr int kFrames = 3000;
    std::vector<CANBuffer> expected;
    {
        std::ofstream log(path);
        for (int i = 0; i < kFrames; ++i) {
            const bool extended = i % 3 == 0;
            const uint32_t id = extended ? 0x10000000u + static_cast<uint32_t>(i) * 977
                                         : static_cast<uint32_t>(i) % 0x800;
            char line[128];
            std::snprintf(line, sizeof line, "(1436509052.%06d) can0 %0*X#", i * 100,
                          extended ? 8 : 3, id);
            log << line;
            if (i % 50 == 0) {
                log << "R\n";
                expected.emplace_back(id, true, extended, 0, nullptr);
                continue;
            }
            const uint8_t dlc = static_cast<uint8_t>(i % 9);
            uint8_t data[8];
            for (int b = 0; b < dlc; ++b) {
                data[b] = static_cast<uint8_t>(i * 7 + b * 0x1B);
                std::snprintf(line, sizeof line, "%02X", data[b]);
                log << line;
            }
            log << "\n";
            expected.emplace_back(id, false, extended, dlc, data);
        }
    }
    SimProcess sim({"--replay", QString::fromStdString(path), "--fast"});
    PcSession pc;
    ConnectTo(pc, sim);
    ASSERT_TRUE(pc.RunUntil([&] { return pc.store().Size() >= kFrames; }, kFramesTimeoutMs))
        << pc.store().Size() << " frames arrived";
    pc.RunFor(50);
    ASSERT_EQ(pc.store().Size(), static_cast<size_t>(kFrames));
    for (size_t i = 0; i < expected.size(); ++i) {
        const CANBuffer& stored = pc.store()[i];
        SCOPED_TRACE("frame " + std::to_string(i));
        ASSERT_EQ(stored.id, expected[i].id);
        EXPECT_EQ(stored.extended, expected[i].extended);
        EXPECT_EQ(stored.response, expected[i].response);
        EXPECT_EQ(stored.dlc, expected[i].dlc);
        EXPECT_TRUE(std::equal(stored.data.begin(), stored.data.begin() + stored.dlc,
                               expected[i].data.begin()));
        EXPECT_FALSE(stored.FramesLost());
    }
}

TEST(EndToEnd, AReplayKeepsTheLogsTimingInTheTimestamps) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("timed.log").toStdString();
    const int offsetsMs[] = {0, 3, 4, 20, 21, 60};
    {
        std::ofstream log(path);
        for (int offset : offsetsMs) log << "(100." << 100000 + offset * 1000 << ") can0 123#11\n";
    }
    SimProcess sim({"--replay", QString::fromStdString(path)});
    PcSession pc;
    ConnectTo(pc, sim);
    ASSERT_TRUE(pc.RunUntil([&] { return pc.store().Size() >= 6; }, kFramesTimeoutMs));
    for (size_t i = 1; i < 6; ++i)
        EXPECT_EQ(pc.store()[i].timestamp - pc.store()[0].timestamp,
                  static_cast<uint32_t>(offsetsMs[i]) * 2000)
            << i;
}

TEST(EndToEnd, AscLogsAndPcapngCapturesReplayToo) {
    FrameStore saved;
    const uint8_t data[8] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
    for (uint32_t i = 0; i < 20; ++i)
        saved.Append(CANBuffer(i % 2 ? 0x18EF0000 + i : 0x100 + i, i % 5 == 4, i % 2, i % 9, data,
                               i * 2000));
    for (const char* name : {"replay.asc", "replay.pcapng"}) {
        SCOPED_TRACE(name);
        QTemporaryDir dir;
        const std::string path = dir.filePath(name).toStdString();
        RecordingUserMessages messages;
        ASSERT_TRUE(SaveMessageLog(saved, path, messages));
        SimProcess sim({"--replay", QString::fromStdString(path), "--fast"});
        PcSession pc;
        ConnectTo(pc, sim);
        ASSERT_TRUE(
            pc.RunUntil([&] { return pc.store().Size() >= saved.Size(); }, kFramesTimeoutMs));
        for (size_t i = 0; i < saved.Size(); ++i) {
            const CANBuffer& stored = pc.store()[i];
            EXPECT_EQ(std::tie(stored.id, stored.extended, stored.response, stored.dlc),
                      std::tie(saved[i].id, saved[i].extended, saved[i].response, saved[i].dlc))
                << i;
        }
    }
}

TEST(EndToEnd, AHangupLosesTheLineAfterItsFrames) {
    SimProcess sim({"--rate", "1000", "--hangup-after", "5"});
    PcSession pc;
    ConnectTo(pc, sim);
    ASSERT_TRUE(pc.RunUntil([&] { return !pc.portErrors.empty(); }, kFramesTimeoutMs));
    EXPECT_EQ(pc.portErrors[0], SerialPortDevice::ErrorKind::ResourceLost);
    EXPECT_EQ(pc.store().Size(), 5u);
    EXPECT_TRUE(sim.WaitForExit(kConnectTimeoutMs));
    EXPECT_EQ(sim.ExitCode(), 0);
}

TEST(EndToEnd, TheEnumerationListsARunningSimulatorOnly) {
    SimProcess sim({"--count", "0"});
    ASSERT_FALSE(sim.port().empty());
    setenv("OSTREL_SIM_REGISTRY", sim.RegistryFolder().c_str(), 1);
    auto listed = [&] {
        const std::vector<std::string> ports = EnumComPorts();
        return std::find(ports.begin(), ports.end(), sim.port()) != ports.end();
    };
    EXPECT_TRUE(listed());

    // SIGUSR1 prints the counters; SIGTERM ends the simulator and its registration.
    sim.Signal(SIGUSR1);
    PcSession pc;
    EXPECT_TRUE(pc.RunUntil(
        [&] { return sim.StandardError().find("packets received") != std::string::npos; },
        kConnectTimeoutMs));
    sim.Signal(SIGTERM);
    ASSERT_TRUE(sim.WaitForExit(kConnectTimeoutMs));
    EXPECT_EQ(sim.ExitCode(), 0);
    EXPECT_FALSE(listed());
    EXPECT_TRUE(std::filesystem::is_empty(sim.RegistryFolder()));

    // A killed simulator leaves its entry behind, which is never listed and goes when seen.
    SimProcess killed({"--count", "0"});
    setenv("OSTREL_SIM_REGISTRY", killed.RegistryFolder().c_str(), 1);
    ASSERT_EQ(ListSimulatedPorts(), std::vector<std::string>{killed.port()});
    killed.Signal(SIGKILL);
    ASSERT_TRUE(killed.WaitForExit(kConnectTimeoutMs));
    EXPECT_FALSE(std::filesystem::is_empty(killed.RegistryFolder()));
    EXPECT_TRUE(ListSimulatedPorts().empty());
    EXPECT_TRUE(std::filesystem::is_empty(killed.RegistryFolder()));
    unsetenv("OSTREL_SIM_REGISTRY");
}

TEST(EndToEnd, AnEndedSimulatorsNameNeverReachesTheTerminalThatTookItsNumber) {
    SimProcess sim({"--count", "0"});
    const std::string name = sim.port();
    const std::filesystem::path link = std::filesystem::path(sim.RegistryFolder()) / name;
    ASSERT_TRUE(std::filesystem::is_symlink(link)) << "announced a bare terminal: " << name;
    const std::string terminal =
        std::filesystem::read_symlink(std::filesystem::read_symlink(link)).string();
    sim.Signal(SIGKILL);  // leaves its name behind
    ASSERT_TRUE(sim.WaitForExit(kConnectTimeoutMs));

    // The system hands out the lowest free number, so the old one comes back within a few.
    std::vector<std::unique_ptr<PseudoTerminal>> ours;
    while (ours.size() < 8 && (ours.empty() || ours.back()->SlavePath() != terminal))
        ours.push_back(std::make_unique<PseudoTerminal>());
    if (ours.back()->SlavePath() != terminal) GTEST_SKIP() << "another program took " << terminal;

    setenv("OSTREL_SIM_REGISTRY", sim.RegistryFolder().c_str(), 1);
    PcSession pc;
    EXPECT_FALSE(pc.Connect(name));
    EXPECT_EQ(pc.device.OpenErrorText(), "no such port");
    EXPECT_TRUE(ours.back()->Receive(1, 100).empty()) << "bytes reached " << terminal;
    unsetenv("OSTREL_SIM_REGISTRY");
}

TEST(EndToEnd, BadOptionsEndWithCodeTwoAndHelpDescribesEverything) {
    const SimProcess::Outcome bad = SimProcess::RunToEnd({"--rate", "many"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.standardError.find("--rate 'many'"), std::string::npos) << bad.standardError;
    EXPECT_TRUE(bad.standardOutput.empty());

    const SimProcess::Outcome missing = SimProcess::RunToEnd({"--replay", "/no/such/log"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.standardError.find("/no/such/log"), std::string::npos);

    const SimProcess::Outcome help = SimProcess::RunToEnd({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option : {"--port", "--rate", "--ids", "--id-kind", "--dlc", "--replay",
                               "--fast", "--count", "--lost-every", "--silent", "--no-ack",
                               "--garbage", "--drop-bytes", "--hangup-after", "--trace"})
        EXPECT_NE(help.standardOutput.find(option), std::string::npos) << option;
}
