// The candump and Vector ASC logs: their lines, the ASC header, and which format a save picks.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QStringList>
#include <QTemporaryDir>

#include "logs/asc_log.h"
#include "logs/candump_log.h"
#include "logs/save_message_log.h"
#include "session/frame_store.h"
#include "support/file_bytes.h"
#include "support/recording_user_messages.h"

namespace {

const uint8_t kData[8] = {0x55, 0xAA, 0x01, 0x02, 0x03, 0x04, 0x05, 0xF0};

CANBuffer Frame(uint32_t id, bool extended, uint8_t dlc, uint32_t ticks, bool response = false) {
    return CANBuffer(id, response, extended, dlc, kData, ticks);
}

// A brief frame as the device delivers it: length and data are whatever the packet held.
CANBuffer Brief(uint32_t id, bool extended, bool response = false) {
    CANBuffer brief(id, response, extended, 0, kData, 123456, true);
    brief.dlc = 8;
    brief.data = {1, 2, 3, 4, 5, 6, 7, 8};
    return brief;
}

CANBuffer Overlong() {
    CANBuffer overlong = Frame(0x100, true, 8, 2000000);
    overlong.dlc = 12;
    return overlong;
}

TEST(CandumpLine, WritesIdentifierDataAndDeviceTime) {
    EXPECT_EQ(CandumpLine(Frame(0x123, false, 2, 3000001)), "(1.500000) can0 123#55AA");
    EXPECT_EQ(CandumpLine(Frame(0x12345678, true, 8, 0xFFFFFFFF)),
              "(2147.483647) can0 12345678#55AA0102030405F0");
    EXPECT_EQ(CandumpLine(Frame(0x7B, true, 1, 4000003)), "(2.000001) can0 0000007B#55");
    EXPECT_EQ(CandumpLine(Frame(0x5, false, 0, 0)), "(0.000000) can0 005#");
    EXPECT_EQ(CandumpLine(Frame(0x7FF, false, 3, 2, true)), "(0.000001) can0 7FF#R3");
    EXPECT_EQ(CandumpLine(Frame(0x1FFFFFFF, true, 0, 0, true)), "(0.000000) can0 1FFFFFFF#R");
    EXPECT_EQ(CandumpLine(Brief(0x18EF1234, true)), "(0.061728) can0 18EF1234#");
    EXPECT_EQ(CandumpLine(Brief(0x456, false, true)), "(0.061728) can0 456#R");
    EXPECT_EQ(CandumpLine(Overlong()), "(1.000000) can0 00000100#55AA0102030405F0");
}

TEST(AscLine, WritesTimeChannelIdentifierDirectionAndData) {
    EXPECT_EQ(AscLine(Frame(0x123, false, 2, 3000001)),
              "   1.500000 1  123             Rx   d 2 55 AA");
    EXPECT_EQ(AscLine(Frame(0x12345678, true, 8, 0xFFFFFFFF)),
              "2147.483647 1  12345678x       Rx   d 8 55 AA 01 02 03 04 05 F0");
    EXPECT_EQ(AscLine(Frame(0x7B, true, 1, 0)), "   0.000000 1  7Bx             Rx   d 1 55");
    EXPECT_EQ(AscLine(Frame(0x0, false, 0, 0)), "   0.000000 1  0               Rx   d 0");
    EXPECT_EQ(AscLine(Frame(0x7FF, false, 3, 4000003, true)),
              "   2.000001 1  7FF             Rx   r 3");
    EXPECT_EQ(AscLine(Brief(0x18EF1234, true)), "   0.061728 1  18EF1234x       Rx   d 0");
    EXPECT_EQ(AscLine(Brief(0x456, false, true)), "   0.061728 1  456             Rx   r 0");
    EXPECT_EQ(AscLine(Overlong()),
              "   1.000000 1  100x            Rx   d 8 55 AA 01 02 03 04 05 F0");
}

TEST(AscHeader, DatesInEnglishTwelveHourTimeWithMilliseconds) {
    const QDateTime afternoon(QDate(2024, 3, 14), QTime(14, 5, 9, 123));
    EXPECT_EQ(AscDate(afternoon), "Thu Mar 14 02:05:09.123 pm 2024");
    EXPECT_EQ(AscDate(QDateTime(QDate(2023, 12, 31), QTime(0, 0, 0, 7))),
              "Sun Dec 31 12:00:00.007 am 2023");
    EXPECT_EQ(AscDate(QDateTime(QDate(2024, 1, 1), QTime(12, 59, 59, 999))),
              "Mon Jan 01 12:59:59.999 pm 2024");

    const LogFormat asc = AscLogFormat(afternoon);
    EXPECT_EQ(asc.header, (std::vector<std::string>{
                              "date Thu Mar 14 02:05:09.123 pm 2024",
                              "base hex  timestamps absolute",
                              "no internal events logged",
                              "Begin Triggerblock Thu Mar 14 02:05:09.123 pm 2024",
                          }));
    EXPECT_EQ(asc.footer, std::vector<std::string>{"End TriggerBlock"});
}

TEST(ChooseMessageLogTarget, AKnownExtensionWinsElseTheTypeAddsItsOwn) {
    EXPECT_EQ(MessageLogFileTypes(),
              (std::vector<std::string>{kCsvFileType, kTextFileType, kCandumpFileType, kAscFileType,
                                        kPcapngFileType, kAllFileType}));

    using F = MessageLogFormat;
    const struct {
        const char* typed;
        const char* type;
        const char* path;
        MessageLogFormat format;
    } cases[] = {
        // The typed extension wins, in any case, whatever type is selected.
        {"/t/trace.log", kCsvFileType, "/t/trace.log", F::Candump},
        {"/t/trace.LOG", kAllFileType, "/t/trace.LOG", F::Candump},
        {"/t/trace.Asc", kCandumpFileType, "/t/trace.Asc", F::Asc},
        {"/t/trace.pcapng", kTextFileType, "/t/trace.pcapng", F::Pcapng},
        {"/t/trace.PCAPNG", kCsvFileType, "/t/trace.PCAPNG", F::Pcapng},
        {"/t/trace.csv", kAscFileType, "/t/trace.csv", F::Csv},
        {"/t/trace.TXT", kPcapngFileType, "/t/trace.TXT", F::Csv},
        // No known extension: the selected type decides and adds its own, lower-case.
        {"/t/trace", kCsvFileType, "/t/trace.csv", F::Csv},
        {"/t/trace", kTextFileType, "/t/trace.txt", F::Csv},
        {"/t/trace", kCandumpFileType, "/t/trace.log", F::Candump},
        {"/t/trace", kAscFileType, "/t/trace.asc", F::Asc},
        {"/t/trace", kPcapngFileType, "/t/trace.pcapng", F::Pcapng},
        {"/t/run.2024", kAscFileType, "/t/run.2024.asc", F::Asc},
        {"/t/asc.d/trace", kCandumpFileType, "/t/asc.d/trace.log", F::Candump},
        // "All" and no type: comma-separated, a name's own extension kept under "All".
        {"/t/trace", kAllFileType, "/t/trace.csv", F::Csv},
        {"/t/trace.bin", kAllFileType, "/t/trace.bin", F::Csv},
        {"/t/trace", "", "/t/trace.csv", F::Csv},
    };
    for (const auto& c : cases) {
        const MessageLogTarget target = ChooseMessageLogTarget(c.typed, c.type);
        EXPECT_EQ(target.path, c.path) << c.typed << " as " << c.type;
        EXPECT_EQ(target.format, c.format) << c.typed << " as " << c.type;
    }
}

class SaveToolLogTest : public ::testing::Test {
  protected:
    SaveToolLogTest() {
        store_.Append(Brief(0x111, false));  // before any time is known
        store_.Append(Frame(0x123, false, 2, 3000001));
        store_.Append(Brief(0x18EF1234, true));
        store_.Append(Brief(0x456, false, true));
        store_.Append(Frame(0x7FF, false, 0, 10, true));
    }
    std::string PathOf(const char* name) const { return folder_.filePath(name).toStdString(); }

    QTemporaryDir folder_;
    FrameStore store_;
    RecordingUserMessages messages_;
};

TEST_F(SaveToolLogTest, CandumpLogHasLfLinesAndBriefFramesTakeTheTimeBeforeThem) {
    SaveMessageLog(store_, PathOf("drive"), messages_, kCandumpFileType);
    EXPECT_EQ(ReadFileBytes(PathOf("drive.log")),
              "(0.000000) can0 111#\n"
              "(1.500000) can0 123#55AA\n"
              "(1.500000) can0 18EF1234#\n"
              "(1.500000) can0 456#R\n"
              "(0.000005) can0 7FF#R\n");
    EXPECT_TRUE(messages_.boxes.empty());
}

TEST_F(SaveToolLogTest, AscLogHasHeaderFramesAndClosingLine) {
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    SaveMessageLog(store_, PathOf("drive.asc"), messages_, kAllFileType);
    const QStringList lines =
        QString::fromStdString(ReadFileBytes(PathOf("drive.asc"))).split("\r\n");
    ASSERT_EQ(lines.size(), 11);
    const QString date = lines[0].mid(5);
    EXPECT_TRUE(lines[0].startsWith("date "));
    const QDateTime written = QDateTime::fromString(date, "ddd MMM dd hh:mm:ss.zzz ap yyyy");
    EXPECT_TRUE(written.isValid() && written >= before) << date.toStdString();
    EXPECT_EQ(lines.mid(1, 3),
              (QStringList{"base hex  timestamps absolute", "no internal events logged",
                           "Begin Triggerblock " + date}));
    EXPECT_EQ(lines.mid(4), (QStringList{
                                "   0.000000 1  111             Rx   d 0",
                                "   1.500000 1  123             Rx   d 2 55 AA",
                                "   1.500000 1  18EF1234x       Rx   d 0",
                                "   1.500000 1  456             Rx   r 0",
                                "   0.000005 1  7FF             Rx   r 0",
                                "End TriggerBlock",
                                "",
                            }));
    EXPECT_TRUE(messages_.boxes.empty());
}

TEST_F(SaveToolLogTest, EveryFormatKeepsTheSaveErrorsOfTheCommaSeparatedLog) {
    for (const char* type : {kCandumpFileType, kAscFileType, kPcapngFileType}) {
        const FrameStore empty;
        SaveMessageLog(empty, PathOf("empty.log"), messages_, type);
        EXPECT_FALSE(FileExists(PathOf("empty.log")));
        EXPECT_TRUE(messages_.boxes.empty());

        WriteFileBytes(PathOf("plain-file"), "x");
        const std::string below = PathOf("plain-file") + "/drive.log";
        SaveMessageLog(store_, below, messages_, type);
        ASSERT_EQ(messages_.boxes.size(), 1u) << type;
        EXPECT_EQ(messages_.boxes[0].text, "Cannot write file\n" + below + "\nNot a directory");
        EXPECT_EQ(messages_.boxes[0].caption, "Error");
        messages_.boxes.clear();
    }
}

}  // namespace
