// ostrel-dump and ostrel-send as a script runs them, against ostrel-sim over a real
// pseudo-terminal.

#include <gtest/gtest.h>
#include <signal.h>

#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <QThread>
#include <fstream>
#include <sstream>

#include "logs/candump_log.h"
#include "monitor/frame_line.h"
#include "sim/sim_process.h"
#include "tool_process.h"

namespace {

constexpr int kRunMs = 20000;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string FileText(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The frames the simulator sent since the last handshake of a PC, as records.
std::vector<CANBuffer> FramesOfLastSession(const SimProcess& sim) {
    std::vector<CANBuffer> frames;
    for (const TracedPacket& packet : sim.Trace(TracedPacket::kToPc)) {
        if (packet.letter == 'Z') frames.clear();
        if (packet.letter != 'F') continue;
        uint8_t layout[CANBufferPIC::kSize] = {};
        std::copy(packet.payload.begin(), packet.payload.end(), layout);
        frames.push_back(FromPIC(CANBufferPIC::FromBytes(layout)));
    }
    return frames;
}

// The letters and payloads the PC sent, one string each ("B 90D0...").
std::vector<std::string> FromPc(const SimProcess& sim) {
    std::vector<std::string> packets;
    for (const TracedPacket& packet : sim.Trace(TracedPacket::kFromPc)) {
        std::string text = FormatTraceLine(packet);
        packets.push_back(text.substr(text.find("> ") + 2));
    }
    return packets;
}

// The device is reset as Disconnect does: bus setup with everything off, then 55 52.
void ExpectResetAtTheEnd(const SimProcess& sim) {
    const std::vector<std::string> sent = FromPc(sim);
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[sent.size() - 2].substr(0, 2), "B ");
    EXPECT_EQ(sent[sent.size() - 2].substr(10), "000000");
    EXPECT_EQ(sent.back(), "R");
}

}  // namespace

TEST(OstrelDump, PrintsTheSimulatorsFramesAsCandumpOrWindowLines) {
    SimProcess sim({"--rate", "500", "--dlc", "0-8"});
    ASSERT_FALSE(sim.port().empty());
    std::string out;
    std::string err;
    // Found as Auto Detect finds it: no -p.
    ASSERT_EQ(RunTool(OSTREL_DUMP_PATH, {"-n", "40"}, sim.RegistryFolder(), &out, &err), 0) << err;
    std::vector<CANBuffer> sent = FramesOfLastSession(sim);
    ASSERT_GE(sent.size(), 40u);
    std::vector<std::string> expected;
    for (size_t i = 0; i < 40; ++i) expected.push_back(CandumpLine(sent[i]));
    EXPECT_EQ(Lines(out), expected);
    EXPECT_NE(err.find("ostrel-dump: 40 frames received, 0 lost-frame flags, "), std::string::npos)
        << err;
    ExpectResetAtTheEnd(sim);

    ASSERT_EQ(RunTool(OSTREL_DUMP_PATH, {"-a", "-n", "5", "-p", sim.port().c_str()},
                      sim.RegistryFolder(), &out, &err),
              0)
        << err;
    sent = FramesOfLastSession(sim);
    ASSERT_GE(sent.size(), 5u);
    expected.clear();
    for (uint32_t i = 0; i < 5; ++i) {
        sent[i].sequence = i;
        expected.push_back(FormatFrameLine(sent[i], false));
    }
    EXPECT_EQ(Lines(out), expected);
}

TEST(OstrelDump, FiltersReachTheDeviceAndOnlyMatchingFramesArrive) {
    SimProcess sim({"--rate", "1000", "--ids", "123,456,18FEF100,0CF00400,124"});
    std::string out;
    std::string err;
    ASSERT_EQ(RunTool(OSTREL_DUMP_PATH,
                      {"-p", sim.port().c_str(), "-n", "30", "-b", "500000", "-L", "123:7FF",
                       "18FEF100:1FFFFFFF"},
                      sim.RegistryFolder(), &out, &err),
              0)
        << err;
    for (const std::string& line : Lines(out))
        EXPECT_TRUE(line.find(" can0 123#") != std::string::npos ||
                    line.find(" can0 18FEF100#") != std::string::npos)
            << line;
    const std::vector<std::string> sent = FromPc(sim);
    const std::vector<std::string> setup(sent.begin() + 2, sent.begin() + 9);
    EXPECT_EQ(setup, (std::vector<std::string>{
                         "B 20A10700000100",        // 500000 bit/s, listen-only
                         "A 000023010000FF070000",  // two slots 123/7FF (standard)
                         "A 010023010000FF070000",
                         "A 020100F1FE18FFFFFF1F",  // four slots 18FEF100/1FFFFFFF
                         "A 030100F1FE18FFFFFF1F",
                         "A 040100F1FE18FFFFFF1F",
                         "A 050100F1FE18FFFFFF1F",
                     }));
}

TEST(OstrelDump, EndsAfterSecondsOrOnSignalsWithSummaryLogAndReset) {
    SimProcess sim({"--rate", "400", "--lost-every", "7"});
    std::string out;
    std::string err;
    ASSERT_EQ(RunTool(OSTREL_DUMP_PATH, {"-p", sim.port().c_str(), "-T", "0.3"},
                      sim.RegistryFolder(), &out, &err),
              0);
    EXPECT_NE(err.find("frames received"), std::string::npos) << err;
    ExpectResetAtTheEnd(sim);

    QTemporaryDir folder;
    for (int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        const std::string log = folder.filePath("frames.log").toStdString();
        ToolProcess dump(OSTREL_DUMP_PATH, {"-p", sim.port().c_str(), "-l", log.c_str()},
                         sim.RegistryFolder());
        ASSERT_TRUE(dump.WaitForLines(30, kRunMs));
        dump.Signal(signal);
        ASSERT_TRUE(dump.Finish(kRunMs));
        EXPECT_EQ(dump.exitCode(), 0);
        // Every frame printed is in the log, and the log is whole.
        EXPECT_EQ(FileText(log), dump.standardOutput());
        const std::vector<std::string> errors = Lines(dump.standardError());
        ASSERT_FALSE(errors.empty());
        const size_t flagged = std::count_if(errors.begin(), errors.end(), [](auto& line) {
            return line.find("the device lost frames before frame") != std::string::npos;
        });
        EXPECT_GT(flagged, 0u);
        EXPECT_NE(errors.back().find(std::to_string(Lines(dump.standardOutput()).size()) +
                                     " frames received, " + std::to_string(flagged) +
                                     " lost-frame flags, "),
                  std::string::npos)
            << errors.back();
        ExpectResetAtTheEnd(sim);
    }
}

TEST(OstrelDump, APortThatGoesAwayEndsItWithTheReasonAndTheLog) {
    SimProcess sim({"--rate", "1000", "--hangup-after", "20"});
    QTemporaryDir folder;
    const std::string log = folder.filePath("frames.log").toStdString();
    std::string out;
    std::string err;
    EXPECT_EQ(RunTool(OSTREL_DUMP_PATH, {"-p", sim.port().c_str(), "-l", log.c_str()},
                      sim.RegistryFolder(), &out, &err),
              1);
    EXPECT_EQ(Lines(out).size(), 20u);
    EXPECT_EQ(FileText(log), out);
    EXPECT_EQ(Lines(err).front(), "ostrel-dump: port " + sim.port() + " lost");
}

TEST(OstrelSend, SendsWithAcknowledgementOrSaysWhyNot) {
    SimProcess sim({"--count", "0"});
    std::string err;
    // Loopback: the device returns each frame as a received one and acknowledges it.
    ASSERT_EQ(RunTool(OSTREL_SEND_PATH,
                      {"-p", sim.port().c_str(), "-x", "-c", "3", "-g", "20", "123#DEADBEEF"},
                      sim.RegistryFolder(), nullptr, &err),
              0)
        << err;
    std::vector<std::string> sent = FromPc(sim);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "G 002460000004DEADBEEF"), 3);
    size_t looped = 0;
    for (const CANBuffer& frame : FramesOfLastSession(sim))
        looped += frame.id == 0x123 && frame.dlc == 4 && frame.data[0] == 0xDE;
    EXPECT_EQ(looped, 3u);

    // Every frame of a candump log, its own kinds and data.
    QTemporaryDir folder;
    const std::string log = folder.filePath("in.log").toStdString();
    std::ofstream(log) << "(0.000000) can0 18FEF100#0102\n(0.001000) can0 7FF#R3\n";
    ASSERT_EQ(RunTool(OSTREL_SEND_PATH, {"-p", sim.port().c_str(), "-f", log.c_str()},
                      sim.RegistryFolder(), nullptr, &err),
              0)
        << err;
    sent = FromPc(sim);
    std::vector<std::string> frames;
    std::copy_if(sent.begin(), sent.end(), std::back_inserter(frames),
                 [](const std::string& p) { return p[0] == 'G'; });
    ASSERT_GE(frames.size(), 2u);
    EXPECT_EQ(frames[frames.size() - 2], "G 00C7EAF100020102");
    EXPECT_EQ(frames.back(),
              "G 08FFE0000003000000");  // a response frame carries its length in zeros

    // A port another program holds: one program at a time has a serial port.
    const size_t before = FromPc(sim).size();
    ToolProcess dump(OSTREL_DUMP_PATH, {"-p", sim.port().c_str()}, sim.RegistryFolder());
    while (FromPc(sim).size() < before + 9) QThread::msleep(10);  // its handshake and setup
    EXPECT_EQ(RunTool(OSTREL_SEND_PATH, {"-p", sim.port().c_str(), "123#"}, sim.RegistryFolder(),
                      nullptr, &err),
              1);
    EXPECT_EQ(err, "ostrel-send: cannot open " + sim.port() +
                       ": port busy: another program has it open\n");
}

TEST(OstrelSend, FramesSentThroughOneSimulatorOfABusShowInOstrelDumpOnTheOther) {
    // Two interfaces on one bus, neither making traffic of its own.
    SimProcess listener({"--count", "0", "--bus", "rig"});
    SimProcess talker({"--count", "0", "--bus", "rig"}, true, listener.RegistryFolder());
    ASSERT_FALSE(talker.port().empty());
    ToolProcess dump(OSTREL_DUMP_PATH, {"-p", listener.port().c_str(), "-n", "3"},
                     listener.RegistryFolder());
    // The listening device hears the bus once ostrel-dump's setup has ended with 'C'.
    const QDeadlineTimer deadline(kRunMs);
    auto setUp = [&] {
        const std::vector<std::string> sent = FromPc(listener);
        return std::any_of(sent.begin(), sent.end(), [](auto& p) { return p[0] == 'C'; });
    };
    while (!setUp() && !deadline.hasExpired()) QThread::msleep(10);

    QTemporaryDir folder;
    const std::string log = folder.filePath("in.log").toStdString();
    std::ofstream(log) << "(0.000000) can0 123#DEADBEEF\n(0.001000) can0 18FEF100#0102\n"
                          "(0.002000) can0 7FF#R3\n";
    std::string err;
    ASSERT_EQ(RunTool(OSTREL_SEND_PATH, {"-p", talker.port().c_str(), "-f", log.c_str()},
                      talker.RegistryFolder(), nullptr, &err),
              0)
        << err;
    ASSERT_TRUE(dump.Finish(kRunMs));
    EXPECT_EQ(dump.exitCode(), 0) << dump.standardError();
    const std::vector<std::string> printed = Lines(dump.standardOutput());
    std::vector<std::string> delivered;
    for (const CANBuffer& frame : FramesOfLastSession(listener))
        delivered.push_back(CandumpLine(frame));
    EXPECT_EQ(printed, delivered);
    const char* frames[] = {"can0 123#DEADBEEF", "can0 18FEF100#0102", "can0 7FF#R3"};
    ASSERT_EQ(printed.size(), 3u);
    for (size_t i = 0; i < printed.size(); ++i)
        EXPECT_EQ(printed[i].substr(printed[i].find(' ') + 1), frames[i]);
}

TEST(OstrelSend, ADeviceThatDoesNotAnswerOrAcknowledgeFailsWithTheReason) {
    const std::pair<QString, std::string> faults[] = {
        {"--no-ack", "no acknowledgement from the device within 1000 ms (frame 1 of 1)"},
        {"--silent", "no answer from a device on "},
    };
    for (const auto& [fault, reason] : faults) {
        SimProcess sim({"--count", "0", fault});
        std::string err;
        EXPECT_EQ(RunTool(OSTREL_SEND_PATH, {"-p", sim.port().c_str(), "123#11"},
                          sim.RegistryFolder(), nullptr, &err),
                  1);
        const std::string expected = "ostrel-send: " + reason;
        EXPECT_EQ(err, fault == "--silent" ? expected + sim.port() + "\n" : expected + "\n");
    }
}

TEST(CommandLineTools, BadArgumentsAndPortsThatDoNotOpen) {
    QTemporaryDir folder;
    const std::string registry = folder.filePath("registry").toStdString();
    const std::string notATerminal = folder.filePath("plain").toStdString();
    std::ofstream(notATerminal) << "x";
    struct Case {
        const char* program;
        QStringList args;
        int exitCode;
        std::string error;  // the whole of standard error
    } cases[] = {
        {OSTREL_DUMP_PATH, {"-n"}, 2, "ostrel-dump: -n expects COUNT (see --help)\n"},
        {OSTREL_DUMP_PATH,
         {"100:7FF", "200:700", "300:7F0"},
         2,
         "ostrel-dump: the filters use 3 different masks; the device holds 2 (see --help)\n"},
        {OSTREL_SEND_PATH,
         {"123"},
         2,
         "ostrel-send: bad frame '123': no '#' between identifier and data (see --help)\n"},
        {OSTREL_SEND_PATH, {"-f", "/nonexistent.log"}, 2, ""},
        {OSTREL_DUMP_PATH,
         {"-p", "/dev/ostrel-none"},
         1,
         "ostrel-dump: cannot open /dev/ostrel-none: no such port\n"},
        {OSTREL_SEND_PATH,
         {"-p", "/dev/ostrel-none", "123#"},
         1,
         "ostrel-send: cannot open /dev/ostrel-none: no such port\n"},
        {OSTREL_DUMP_PATH,
         {"-p", notATerminal.c_str()},
         1,
         "ostrel-dump: cannot open " + notATerminal + ": Inappropriate ioctl for device\n"},
        // No simulator in this registry, and no other port answers.
        {OSTREL_SEND_PATH, {"123#"}, 1, "ostrel-send: no Ostrel found on any port\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        std::string out;
        std::string err;
        EXPECT_EQ(RunTool(c.program, c.args, registry, &out, &err), c.exitCode);
        if (!c.error.empty()) {
            EXPECT_EQ(err, c.error);
        }
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
        EXPECT_EQ(out, "");
    }
    for (const char* program : {OSTREL_DUMP_PATH, OSTREL_SEND_PATH}) {
        std::string out;
        EXPECT_EQ(RunTool(program, {"--help"}, registry, &out), 0);
        EXPECT_EQ(out.rfind("Usage: ", 0), 0u) << out;
    }
}
