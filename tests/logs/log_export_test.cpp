#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "logs/csv_log.h"
#include "logs/save_message_log.h"
#include "session/frame_store.h"
#include "support/file_bytes.h"
#include "support/file_size_limit.h"
#include "support/recording_user_messages.h"

namespace {

const uint8_t kData[8] = {0x55, 0xAA, 0x01, 0x02, 0x03, 0x04, 0x05, 0xF0};

CANBuffer Record(uint32_t id, uint8_t dlc, uint32_t timestamp = 0, bool extended = true) {
    return CANBuffer(id, false, extended, dlc, kData, timestamp);
}

TEST(LogLine, WritesEveryFieldInItsFormat) {
    EXPECT_EQ(LogLine(Record(0x12345678, 2, 3000001)), "12345678,003000001,1,0,2,55,AA");
    EXPECT_EQ(LogLine(Record(0x12345678, 0, 3000001)), "12345678,003000001,1,0,0");
    EXPECT_EQ(LogLine(Record(0x7FF, 8, 0xFFFFFFFF, false)),
              "000007FF,4294967295,0,0,8,55,AA,01,02,03,04,05,F0");
    EXPECT_EQ(LogLine(Record(0, 1, 0)), "00000000,000000000,1,0,1,55");

    CANBuffer response(0x1ABCDEF0, true, true, 1, kData, 999999999);
    EXPECT_EQ(LogLine(response), "1ABCDEF0,999999999,1,1,1,55");

    CANBuffer brief(0x12345678, false, true, 8, kData, 5, true);
    EXPECT_EQ(LogLine(brief), "12345678,?");

    CANBuffer overlong = Record(0x100, 8);
    overlong.dlc = 12;  // kept as received; only the eight bytes the record holds follow
    EXPECT_EQ(LogLine(overlong), "00000100,000000000,1,0,12,55,AA,01,02,03,04,05,F0");
}

class SaveMessageLogTest : public ::testing::Test {
  protected:
    std::string PathOf(const char* name) const { return folder_.filePath(name).toStdString(); }

    QTemporaryDir folder_;
    FrameStore store_;
    RecordingUserMessages messages_;
};

TEST_F(SaveMessageLogTest, WritesEveryFrameOldestFirstWithCrLf) {
    store_.Append(Record(0x12345678, 2, 3000001));
    store_.Append(CANBuffer(0x00000ABC, false, false, 0, kData, 0, true));
    store_.Append(Record(0x1, 0, 7));
    const std::string path = PathOf("log.CSV");
    WriteFileBytes(path, "an older and much longer file that is replaced as a whole\r\n");

    SaveMessageLog(store_, path, messages_, kCsvFileType);

    EXPECT_EQ(ReadFileBytes(path),
              "12345678,003000001,1,0,2,55,AA\r\n"
              "00000ABC,?\r\n"
              "00000001,000000007,1,0,0\r\n");
    EXPECT_TRUE(messages_.boxes.empty());
    EXPECT_EQ(store_.Size(), 3u);
}

TEST_F(SaveMessageLogTest, EmptyStoreCreatesNoFileAndSaysNothing) {
    SaveMessageLog(store_, PathOf("log.CSV"), messages_);
    EXPECT_FALSE(FileExists(PathOf("log.CSV")));
    EXPECT_TRUE(messages_.boxes.empty());
}

TEST_F(SaveMessageLogTest, UnwritableFileIsReportedAndNothingIsWritten) {
    store_.Append(Record(0x12345678, 8));
    WriteFileBytes(PathOf("plain-file"), "x");
    const std::string below = PathOf("plain-file") + "/log.CSV";
    SaveMessageLog(store_, below, messages_);
    ASSERT_EQ(messages_.boxes.size(), 1u);
    EXPECT_EQ(messages_.boxes[0].text, "Cannot write file\n" + below + "\nNot a directory");
    EXPECT_EQ(messages_.boxes[0].caption, "Error");

    // A disk that fills up during the save leaves the previous file whole.
    const std::string path = PathOf("log.CSV");
    const std::string previous = "previous contents\r\n";
    WriteFileBytes(path, previous);
    for (int i = 0; i < 1000; ++i) store_.Append(Record(static_cast<uint32_t>(i), 8));
    {
        const FileSizeLimit diskFull(4096);
        SaveMessageLog(store_, path, messages_);
    }
    EXPECT_EQ(ReadFileBytes(path), previous);
    ASSERT_EQ(messages_.boxes.size(), 2u);
    EXPECT_EQ(messages_.boxes[1].text, "Cannot write file\n" + path + "\nFile too large");
    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

}  // namespace
