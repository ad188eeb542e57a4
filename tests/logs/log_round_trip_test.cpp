// Every format written and read back: the frames equal the store, as far as each format holds
// them (the comma-separated log everything, the tool formats times to the microsecond and
// brief frames as frames of their kind without data at the time before them).
#include <gtest/gtest.h>

#include <QByteArray>
#include <QTemporaryDir>
#include <algorithm>
#include <sstream>

#include "common/can_limits.h"
#include "logs/pcapng_log.h"
#include "logs/read_log_file.h"
#include "logs/save_message_log.h"
#include "logs/written_length.h"
#include "support/file_bytes.h"
#include "support/recording_user_messages.h"
#include "vehicle_trace.h"

namespace {

struct Format {
    const char* fileType;
    const char* fileName;
    bool keepsEverything;  // the comma-separated log
};

constexpr Format kFormats[] = {
    {kCsvFileType, "trace.csv", true},
    {kCandumpFileType, "trace.log", false},
    {kAscFileType, "trace.asc", false},
    {kPcapngFileType, "trace.pcapng", false},
};

std::string Shown(const CANBuffer& frame) {
    std::ostringstream text;
    text << std::hex << frame.id << (frame.extended ? "x" : "") << (frame.response ? " r" : "")
         << (frame.brief ? " brief" : "") << " dlc " << std::dec << int(frame.dlc) << " data";
    for (const uint8_t byte : frame.data) text << ' ' << std::hex << int(byte);
    text << " at " << std::dec << frame.timestamp;
    return text.str();
}

// What reading `record` back from a format gives, `lastTime` being the time of the frame
// before it.
CANBuffer AsWritten(const CANBuffer& record, uint32_t lastTime, bool keepsEverything) {
    if (keepsEverything) {
        if (record.brief)
            return CANBuffer(record.id, false, record.id > kMaxStandardId, 0, nullptr, lastTime,
                             true);
        CANBuffer kept(record.id, record.response, record.extended,
                       std::min<uint8_t>(record.dlc, 8), record.data.data(), record.timestamp);
        kept.dlc = record.dlc;
        return kept;
    }
    const auto length = static_cast<uint8_t>(WrittenLength(record));
    const uint32_t time = (record.brief ? lastTime : record.timestamp) & ~1u;
    return CANBuffer(record.id, record.response, record.extended, length,
                     record.response ? nullptr : record.data.data(), time);
}

std::vector<std::string> Expected(const FrameStore& store, bool keepsEverything) {
    std::vector<std::string> frames;
    uint32_t lastTime = 0;
    for (const CANBuffer& record : store) {
        frames.push_back(Shown(AsWritten(record, lastTime, keepsEverything)));
        if (!record.brief) lastTime = record.timestamp;
    }
    return frames;
}

std::vector<std::string> ReadBack(const std::string& path) {
    std::vector<LogFrame> frames;
    LogReadError error;
    EXPECT_TRUE(ReadLogFile(path, frames, error))
        << path << " " << error.place << ": " << error.reason;
    std::vector<std::string> shown;
    for (const LogFrame& frame : frames) {
        EXPECT_EQ(frame.timeUs, frame.frame.timestamp / 2);
        shown.push_back(Shown(frame.frame));
    }
    return shown;
}

class LogRoundTripTest : public ::testing::Test {
  protected:
    void ExpectRoundTrip(const FrameStore& store) {
        for (const Format& format : kFormats) {
            const std::string path = folder_.filePath(format.fileName).toStdString();
            SaveMessageLog(store, path, messages_, format.fileType);
            const std::vector<std::string> expected = Expected(store, format.keepsEverything);
            const std::vector<std::string> read = ReadBack(path);
            ASSERT_EQ(read.size(), expected.size()) << format.fileName;
            for (size_t i = 0; i < read.size(); ++i)
                ASSERT_EQ(read[i], expected[i]) << format.fileName << " frame " << i;
        }
        EXPECT_TRUE(messages_.boxes.empty());
    }

    QTemporaryDir folder_;
    RecordingUserMessages messages_;
};

TEST_F(LogRoundTripTest, EdgeFramesReadBackInEveryFormat) {
    const uint8_t data[8] = {0x55, 0xAA, 1, 2, 3, 4, 5, 0xF0};
    FrameStore store;
    CANBuffer briefFirst(0x111, false, false, 0, nullptr, 99, true);
    store.Append(briefFirst);
    store.Append(CANBuffer(0x123, false, false, 2, data, 3000001));
    store.Append(CANBuffer(0x1FFFFFFF, false, true, 8, data, 0xFFFFFFFF));
    store.Append(CANBuffer(0x7FF, true, false, 3, data, 4000003));
    store.Append(CANBuffer(0x00000001, true, true, 0, nullptr, 5));
    store.Append(CANBuffer(0x000, false, false, 0, nullptr, 0));
    store.Append(CANBuffer(0x18EF1234, false, true, 0, nullptr, 77, true));
    CANBuffer overlong(0x100, false, true, 8, data, 2000000);
    overlong.dlc = 12;
    store.Append(overlong);
    ExpectRoundTrip(store);
}

TEST_F(LogRoundTripTest, VehicleTraceReadsBackInEveryFormat) {
    ExpectRoundTrip(VehicleTrace(4000));
}

struct BadLog {
    const char* name;
    std::string bytes;
    const char* place;
    const char* reason;  // a part of it
};

TEST(ReadLog, NamesTheFirstBadPlace) {
    const std::string capture = [] {
        FrameStore store;
        store.Append(CANBuffer(0x123, false, false, 0, nullptr, 2));
        QTemporaryDir folder;
        RecordingUserMessages messages;
        const std::string path = folder.filePath("c.pcapng").toStdString();
        SaveMessageLog(store, path, messages, kPcapngFileType);
        return ReadFileBytes(path);
    }();
    const BadLog logs[] = {
        {"binary",
         std::string("\x7F"
                     "ELF\x02\x01\x01\0\0\0",
                     10),
         "line 1", "not a CSV"},
        {"csv", "00000123,000000002,0,0,1,55\r\n00000124,00000000x,0,0,0\r\n", "line 2", "time"},
        {"csv data", "00000123,000000002,0,0,2,55\r\n", "line 1", "2 data bytes"},
        {"csv standard", "00000800,000000002,0,0,0\r\n", "line 1", "above 7FF"},
        {"candump", "(0.1) can0 123#\n\n(0.2) can0 12#\n", "line 3", "identifier"},
        {"asc", "date x\nbase hex  timestamps absolute\n 0.1 1 123 Rx d 2 55\n", "line 3",
         "2 data bytes"},
        {"asc dec", "date x\nbase dec  timestamps absolute\n", "line 2", "base hex"},
        {"pcapng cut", capture.substr(0, capture.size() - 4), "block 3", "cut short"},
        {"pcapng fd", capture.substr(0, 80) + '\x40' + capture.substr(81), "block 3", "FD"},
    };
    for (const BadLog& log : logs) {
        std::vector<LogFrame> frames;
        LogReadError error;
        EXPECT_FALSE(ReadLog(log.bytes, frames, error)) << log.name;
        EXPECT_EQ(error.place, log.place) << log.name;
        EXPECT_NE(error.reason.find(log.reason), std::string::npos)
            << log.name << ": " << error.reason;
    }
    std::vector<LogFrame> frames;
    LogReadError error;
    EXPECT_TRUE(ReadLog("", frames, error));
    EXPECT_TRUE(ReadLog("\r\n\r\n", frames, error));
    EXPECT_TRUE(frames.empty());
    ASSERT_TRUE(ReadLog(capture, frames, error));
    EXPECT_EQ(frames.size(), 1u);
}

TEST(ReadLog, ReadsForeignLinesAndStopsAtTheLimit) {
    const std::string asc =
        "date Thu Mar 14 02:05:09.123 pm 2024\r\nbase hex  timestamps absolute\r\n"
        "Begin Triggerblock Thu Mar 14 02:05:09.123 pm 2024\r\n"
        "   0.000000 Start of measurement\r\n"
        "   0.010000 1  FFFx            Tx   d 1 42  Length = 0 BitCount = 64\r\n"
        "   0.020000 2  ErrorFrame\r\n"
        "   0.030000 1  7FF             Rx   r 2\r\n"
        "End TriggerBlock\r\n";
    std::vector<LogFrame> frames;
    LogReadError error;
    ASSERT_TRUE(ReadLog(asc, frames, error)) << error.place << ": " << error.reason;
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(Shown(frames[0].frame),
              Shown(CANBuffer(0xFFF, false, true, 1, (const uint8_t*)"\x42", 20000)));
    EXPECT_EQ(Shown(frames[1].frame), Shown(CANBuffer(0x7FF, true, false, 2, nullptr, 60000)));

    frames.clear();
    ASSERT_TRUE(ReadLog("(1.0) can0 001#\n(2.0) can0 002#\n(3.0) can0 003#\n", frames, error, 2));
    EXPECT_EQ(frames.size(), 2u);
}

TEST(PcapngPacket, LaysOutTheBlockAndTheCanFrame) {
    const uint8_t data[3] = {0x55, 0xAA, 0x01};  // the response frame below is 3 long
    std::string packet;
    AppendPcapngPacket(packet, CANBuffer(0x123, false, false, 2, data, 3000001));
    EXPECT_EQ(QByteArray::fromStdString(packet).toHex().toStdString(),
              "06000000300000000000000000000000"
              "60e31600100000001000000000000123"
              "0200000055aa00000000000030000000");
    packet.clear();
    AppendPcapngPacket(packet, CANBuffer(0x12345678, true, true, 3, data, 0));
    EXPECT_EQ(QByteArray::fromStdString(packet.substr(28, 8)).toHex().toStdString(),
              "d234567803000000");
}

}  // namespace
