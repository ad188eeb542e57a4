#include "candump_reader.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

namespace {

LogFrame Parse(const std::string& line) {
    LogFrame frame;
    std::string error;
    EXPECT_TRUE(ParseCandumpLine(line, frame, error)) << line << ": " << error;
    return frame;
}

std::string ErrorOf(const std::string& line) {
    LogFrame frame;
    std::string error;
    EXPECT_FALSE(ParseCandumpLine(line, frame, error)) << line;
    return error;
}

}  // namespace

TEST(CandumpLine, StandardExtendedAndRemoteFrames) {
    const LogFrame standard = Parse("(1436509052.249713) can0 0F1#000300400000");
    EXPECT_EQ(standard.timeUs, 1436509052249713u);
    EXPECT_EQ(standard.frame.id, 0x0F1u);
    EXPECT_FALSE(standard.frame.extended);
    EXPECT_FALSE(standard.frame.response);
    EXPECT_EQ(standard.frame.dlc, 6);
    EXPECT_EQ(standard.frame.data[1], 0x03);
    EXPECT_EQ(standard.frame.data[3], 0x40);

    const LogFrame extended = Parse("(0.5) vcan1 18EF2000#1122334455667788");
    EXPECT_EQ(extended.timeUs, 500000u);
    EXPECT_EQ(extended.frame.id, 0x18EF2000u);
    EXPECT_TRUE(extended.frame.extended);
    EXPECT_EQ(extended.frame.dlc, 8);
    EXPECT_EQ(extended.frame.data[7], 0x88);

    const LogFrame remote = Parse("(1.000001) can0 7FF#R");
    EXPECT_TRUE(remote.frame.response);
    EXPECT_EQ(remote.frame.dlc, 0);
    EXPECT_EQ(Parse("(1.0) can0 123#R3").frame.dlc, 3);
    EXPECT_EQ(Parse("(1.0) can0 123#").frame.dlc, 0);

    // Windows line ends, direction marks after the frame and long fractions are fine.
    EXPECT_EQ(Parse("(2.123456789) can0 123#11 R\r").timeUs, 2123456u);
}

TEST(CandumpLine, BadLinesSayWhatIsWrong) {
    EXPECT_NE(ErrorOf("(1.0) can0 12311").find("'#'"), std::string::npos);
    EXPECT_NE(ErrorOf("(1.0) can0 0123#11").find("identifier"), std::string::npos);
    EXPECT_NE(ErrorOf("(1.0) can0 800#11").find("identifier"), std::string::npos);
    EXPECT_NE(ErrorOf("(1.0) can0 20000000#11").find("identifier"), std::string::npos);
    EXPECT_NE(ErrorOf("(1.0) can0 123#112233445566778899").find("data"), std::string::npos);
    EXPECT_NE(ErrorOf("(1.0) can0 123#112").find("data"), std::string::npos);
    EXPECT_NE(ErrorOf("(1.0) can0 123#1G").find("data"), std::string::npos);
    EXPECT_NE(ErrorOf("(1.0) can0 123#R9").find("remote"), std::string::npos);
    EXPECT_NE(ErrorOf("(1.0) can0 123##1").find("FD"), std::string::npos);
    EXPECT_NE(ErrorOf("1.0 can0 123#11").find("time"), std::string::npos);
    EXPECT_NE(ErrorOf("(1) can0 123#11").find("time"), std::string::npos);
    EXPECT_FALSE(ErrorOf("(1.0) can0").empty());
    EXPECT_FALSE(ErrorOf("").empty());
}

TEST(CandumpLog, ReadsEveryFrameAndNamesTheFirstBadLine) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("log.txt").toStdString();
    std::ofstream(path) << "(10.000000) can0 123#11\n\n(10.002500) can0 18EF2000#R\n";
    std::vector<LogFrame> frames;
    std::string error;
    ASSERT_TRUE(ReadCandumpLog(path, frames, error)) << error;
    ASSERT_EQ(frames.size(), 2u);

    std::ofstream(path, std::ios::app) << "(10.003) can0 123#1\n";
    frames.clear();
    EXPECT_FALSE(ReadCandumpLog(path, frames, error));
    EXPECT_NE(error.find("log.txt:4:"), std::string::npos) << error;

    EXPECT_FALSE(ReadCandumpLog(dir.filePath("missing").toStdString(), frames, error));
    EXPECT_NE(error.find("cannot read"), std::string::npos);
}

TEST(ReplaySource, KeepsTheLogsSpacingOrGoesUnpaced) {
    std::vector<LogFrame> frames(4);
    frames[0].timeUs = 5000000;
    frames[1].timeUs = 5002500;
    frames[2].timeUs = 5001000;  // the log's clock steps back
    frames[3].timeUs = 5010000;
    for (size_t i = 0; i < frames.size(); ++i) frames[i].frame.id = static_cast<uint32_t>(i);

    ReplaySource paced(frames, false);
    EXPECT_TRUE(paced.Paced());
    std::vector<uint64_t> due;
    TimedFrame next;
    while (paced.Next(next)) due.push_back(next.dueUs);
    EXPECT_EQ(due, (std::vector<uint64_t>{0, 2500, 2500, 10000}));

    ReplaySource fast(frames, true);
    EXPECT_FALSE(fast.Paced());
    uint32_t expectedId = 0;
    while (fast.Next(next)) {
        EXPECT_EQ(next.frame.id, expectedId++);
        EXPECT_EQ(next.dueUs, 0u);
    }
    EXPECT_EQ(expectedId, 4u);
}
