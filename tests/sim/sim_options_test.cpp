#include "sim_options.h"

#include <gtest/gtest.h>

namespace {

SimOptions Parse(const std::vector<std::string>& args) {
    std::string error;
    SimOptions options = ParseSimOptions(args, error);
    EXPECT_EQ(error, "");
    return options;
}

std::string ErrorOf(const std::vector<std::string>& args) {
    std::string error;
    ParseSimOptions(args, error);
    return error;
}

}  // namespace

TEST(SimOptions, ReadsEveryOptionInBothForms) {
    const SimOptions options = Parse({"--port",
                                      "/dev/ttyUSB1",
                                      "--rate=0",
                                      "--ids",
                                      "123,0x18EF2000,7ff",
                                      "--dlc",
                                      "0-2,8,8",
                                      "--count",
                                      "50",
                                      "--lost-every=7",
                                      "--silent",
                                      "--no-ack",
                                      "--garbage",
                                      "0.25",
                                      "--drop-bytes",
                                      "0.01",
                                      "--hangup-after",
                                      "9",
                                      "--trace",
                                      "t.txt",
                                      "--seed",
                                      "42",
                                      "--read-rate=2000"});
    EXPECT_EQ(options.port, "/dev/ttyUSB1");
    EXPECT_EQ(options.generator.rate, 0u);
    ASSERT_EQ(options.generator.ids.size(), 3u);
    EXPECT_FALSE(options.generator.ids[0].extended);
    EXPECT_EQ(options.generator.ids[1].id, 0x18EF2000u);
    EXPECT_TRUE(options.generator.ids[1].extended);
    EXPECT_EQ(options.generator.ids[2].id, 0x7FFu);
    EXPECT_EQ(options.generator.dlcMix, (std::vector<uint8_t>{0, 1, 2, 8, 8}));
    EXPECT_EQ(options.device.count, 50u);
    EXPECT_EQ(options.device.lostEvery, 7u);
    EXPECT_TRUE(options.device.silent);
    EXPECT_TRUE(options.device.noAck);
    EXPECT_DOUBLE_EQ(options.garbage, 0.25);
    EXPECT_DOUBLE_EQ(options.dropBytes, 0.01);
    EXPECT_EQ(options.device.hangupAfter, 9u);
    EXPECT_EQ(options.traceFile, "t.txt");
    EXPECT_EQ(options.generator.seed, 42u);
    EXPECT_EQ(options.readRate, 2000u);

    const SimOptions replay = Parse({"--replay", "log.txt", "--fast"});
    EXPECT_EQ(replay.replayFile, "log.txt");
    EXPECT_TRUE(replay.fast);
    EXPECT_EQ(Parse({"--id-kind=ext"}).generator.idKind, IdKind::Extended);
    EXPECT_EQ(Parse({"--name=bench"}).portName, "bench");
    EXPECT_TRUE(Parse({"-h"}).help);
}

TEST(SimOptions, DefaultsGiveSlowRandomTraffic) {
    const SimOptions options = Parse({});
    EXPECT_EQ(options.generator.rate, 10u);
    EXPECT_TRUE(options.generator.ids.empty());
    EXPECT_EQ(options.generator.idKind, IdKind::Mixed);
    EXPECT_EQ(options.generator.dlcMix.size(), 9u);
    EXPECT_FALSE(options.device.count.has_value());
    EXPECT_TRUE(options.port.empty());
}

TEST(SimOptions, BadValuesNameTheOptionAndTheValue) {
    const std::string rate = ErrorOf({"--rate", "fast"});
    EXPECT_NE(rate.find("--rate 'fast'"), std::string::npos) << rate;
    EXPECT_NE(ErrorOf({"--rate", "-5"}).find("--rate"), std::string::npos);
    EXPECT_NE(ErrorOf({"--rate", "10000001"}).find("--rate"), std::string::npos);
    EXPECT_NE(ErrorOf({"--ids", "800"}).find("--ids"), std::string::npos);
    EXPECT_NE(ErrorOf({"--ids", "20000000"}).find("--ids"), std::string::npos);
    EXPECT_NE(ErrorOf({"--ids", "123,"}).find("--ids"), std::string::npos);
    EXPECT_NE(ErrorOf({"--id-kind", "long"}).find("std, ext or mixed"), std::string::npos);
    EXPECT_NE(ErrorOf({"--dlc", "9"}).find("--dlc"), std::string::npos);
    EXPECT_NE(ErrorOf({"--dlc", "5-2"}).find("--dlc"), std::string::npos);
    EXPECT_NE(ErrorOf({"--lost-every", "0"}).find("--lost-every"), std::string::npos);
    EXPECT_NE(ErrorOf({"--garbage", "1"}).find("--garbage"), std::string::npos);
    EXPECT_NE(ErrorOf({"--drop-bytes", "0.5x"}).find("--drop-bytes"), std::string::npos);
    EXPECT_NE(ErrorOf({"--count", "1e3"}).find("--count"), std::string::npos);
    EXPECT_NE(ErrorOf({"--name", "../x"}).find("--name"), std::string::npos);
    EXPECT_NE(ErrorOf({"--rate"}).find("needs a value"), std::string::npos);
    EXPECT_NE(ErrorOf({"--silent=yes"}).find("takes no value"), std::string::npos);
    EXPECT_NE(ErrorOf({"--speed", "3"}).find("unknown option '--speed'"), std::string::npos);
    EXPECT_NE(ErrorOf({"/dev/pts/3"}).find("unknown option"), std::string::npos);
}

TEST(SimOptions, ContradictoryCombinationsAreRefused) {
    EXPECT_NE(ErrorOf({"--replay", "a.log", "--rate", "5"}).find("--replay"), std::string::npos);
    EXPECT_NE(ErrorOf({"--fast"}).find("--replay"), std::string::npos);
    EXPECT_NE(ErrorOf({"--name", "a", "--port", "/dev/ttyS0"}).find("--name"), std::string::npos);
    EXPECT_NE(ErrorOf({"--ids", "123", "--id-kind", "std"}).find("--id-kind"), std::string::npos);
}

TEST(SimOptions, OnlyWholeNamesAreOptionsAndOperandsAreRefused) {
    EXPECT_NE(ErrorOf({"--rat", "5"}).find("unknown option '--rat'"), std::string::npos);
    EXPECT_NE(ErrorOf({"--sil"}).find("unknown option '--sil'"), std::string::npos);
    EXPECT_NE(ErrorOf({"-x"}).find("unknown option '-x'"), std::string::npos);
    EXPECT_NE(ErrorOf({"--silent", "extra"}).find("unknown option 'extra'"), std::string::npos);
    EXPECT_EQ(Parse({"--trace", "-t"}).traceFile, "-t");
}
