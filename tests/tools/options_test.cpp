#include <gtest/gtest.h>

#include "dump_options.h"
#include "send_options.h"

namespace {

std::string BadFilter(const std::string& text) {
    return "bad filter '" + text +
           "': expected ID:MASK, the identifier in 3 hex digits (standard) or 8 (extended), the "
           "mask within its bits";
}

}  // namespace

TEST(CommandLineOptions, DumpReadsOptionsAndFiltersOrSaysWhatIsWrong) {
    std::string error;
    DumpOptions options =
        ParseDumpOptions({"-p", "ttyUSB0", "-b500000", "-L", "-x", "-B", "-a", "-l", "x.asc", "-n",
                          "10", "-T", "1.5", "123:7FF", "18FEF100:1FFF0000"},
                         error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(options.device.port, "ttyUSB0");
    EXPECT_EQ(options.device.busRate, 500000);
    EXPECT_TRUE(options.listenOnly && options.device.loopback && options.brief &&
                options.windowLines);
    EXPECT_EQ(options.logFile, "x.asc");
    EXPECT_EQ(options.count, 10u);
    EXPECT_EQ(options.seconds, 1.5);
    ASSERT_EQ(options.filters.size(), 2u);
    EXPECT_EQ(options.filters[0].extended, 0);
    EXPECT_EQ(options.filters[1].extended, 1);
    EXPECT_EQ(options.filters[1].mask, 0x1FFF0000u);

    const std::pair<std::vector<std::string>, std::string> bad[] = {
        {{"-q"}, "unknown option '-q'"},
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"-Lx"}, "unknown option '-Lx'"},
        {{"-p"}, "-p expects PORT"},
        {{"-b", "9999"}, "-b expects a bus rate from 10000 to 1000000"},
        {{"-b", "1000001"}, "-b expects a bus rate from 10000 to 1000000"},
        {{"-s", "12345"}, "-s expects a standard serial rate such as 115200"},
        {{"-n", "0"}, "-n expects a whole number of frames from 1"},
        {{"-n", "5x"}, "-n expects a whole number of frames from 1"},
        {{"-T", "0"}, "-T expects a number of seconds above 0"},
        {{"-T", "-1"}, "-T expects a number of seconds above 0"},
        {{"12:7FF"}, BadFilter("12:7FF")},
        {{"123:FFF"}, BadFilter("123:FFF")},  // wider than a standard identifier
        {{"123"}, BadFilter("123")},
        {{"1:1", "2:2"}, BadFilter("1:1")},
        {{"100:7FF", "101:7FF", "102:7FF", "103:7FF", "104:7FF", "105:7FF", "106:7FF"},
         "at most 6 filters"},
    };
    for (const auto& [args, message] : bad) {
        error.clear();
        ParseDumpOptions(args, error);
        EXPECT_EQ(error, message) << args.front();
    }
}

TEST(CommandLineOptions, SendReadsFramesAndOptionsOrSaysWhatIsWrong) {
    std::string error;
    SendOptions options = ParseSendOptions({"-g", "5", "-c", "3", "12345678#R2"}, error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(options.gapMs, 5);
    EXPECT_EQ(options.count, 3u);
    EXPECT_EQ(options.frame.id, 0x12345678u);
    EXPECT_TRUE(options.frame.extended && options.frame.response);
    EXPECT_EQ(options.frame.dlc, 2);

    options = ParseSendOptions({"7FF#0102030405060708"}, error);
    EXPECT_EQ(error, "");
    EXPECT_FALSE(options.frame.extended || options.frame.response);
    EXPECT_EQ(options.frame.dlc, 8);
    EXPECT_EQ(options.frame.data[7], 8);

    const std::pair<std::vector<std::string>, std::string> bad[] = {
        {{}, "expects one frame such as 123#DEADBEEF, or -f FILE"},
        {{"123#", "456#"}, "expects one frame such as 123#DEADBEEF, or -f FILE"},
        {{"-f", "x.log", "123#"}, "expects either a frame or -f FILE, not both"},
        {{"123#0102030405060708090A"},
         "bad frame '123#0102030405060708090A': bad data "
         "'0102030405060708090A'"},
        {{"12#00"}, "bad frame '12#00': bad identifier '12'"},
        {{"800#00"}, "bad frame '800#00': bad identifier '800'"},
        {{"123#R9"}, "bad frame '123#R9': bad remote frame length '9'"},
        {{"123"}, "bad frame '123': no '#' between identifier and data"},
        {{"123#11 22"}, "bad frame '123#11 22': no blanks inside a frame"},
        {{"-g", "x", "123#"}, "-g expects milliseconds from 0 to 3600000"},
        {{"-c", "0", "123#"}, "-c expects a whole number from 1"},
    };
    for (const auto& [args, message] : bad) {
        error.clear();
        ParseSendOptions(args, error);
        EXPECT_EQ(error, message) << (args.empty() ? "" : args.front());
    }
}
