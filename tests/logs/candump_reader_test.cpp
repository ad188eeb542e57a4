// Reading candump logs, line by line and as a file.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

#include "logs/candump_log.h"
#include "logs/read_log_file.h"

namespace {

LogFrame Parse(const std::string& line) {
    LogFrame frame;
    std::string error;
    EXPECT_EQ(ReadCandumpLine(line, frame, error), LogLineKind::Frame) << line << ": " << error;
    return frame;
}

std::string ErrorOf(const std::string& line) {
    LogFrame frame;
    std::string error;
    EXPECT_EQ(ReadCandumpLine(line, frame, error), LogLineKind::Bad) << line;
    return error;
}

}  // namespace

TEST(ReadCandumpLine, StandardExtendedAndRemoteFrames) {
    const LogFrame standard = Parse("(1436509052.249713) can0 0F1#000300400000");
    EXPECT_EQ(standard.timeUs, 1436509052249713u);
    EXPECT_EQ(standard.frame.timestamp, static_cast<uint32_t>(1436509052249713u * 2));
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

    // Direction marks after the frame and long fractions are fine.
    EXPECT_EQ(Parse("(2.123456789) can0 123#11 R").timeUs, 2123456u);
}

TEST(ReadCandumpLine, BadLinesSayWhatIsWrong) {
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
    std::ofstream(path) << "(10.000000) can0 123#11\r\n\n(10.002500) can0 18EF2000#R\n";
    std::vector<LogFrame> frames;
    LogReadError error;
    ASSERT_TRUE(ReadLogFile(path, frames, error)) << error.reason;
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[1].timeUs, 10002500u);

    std::ofstream(path, std::ios::app) << "(10.003) can0 123#1\n";
    frames.clear();
    EXPECT_FALSE(ReadLogFile(path, frames, error));
    EXPECT_EQ(error.place, "line 4");
    EXPECT_NE(error.reason.find("data"), std::string::npos) << error.reason;

    EXPECT_FALSE(ReadLogFile(dir.filePath("missing").toStdString(), frames, error));
    EXPECT_EQ(error.reason, "No such file or directory");
}
