#include "config/config_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "config/config_record.h"
#include "config/fake_config_controls.h"
#include "config/ini_file.h"
#include "support/file_bytes.h"
#include "support/file_size_limit.h"

namespace {

using ::testing::ElementsAre;

const char kDefaultLine[] =
    "18EF20A3,1,0,8,FD,A0,0F,FF,FF,FF,FF,FF; Turn on, Default Direction, 2000RPM";

class ConfigFileTest : public ::testing::Test {
  protected:
    std::string PathOf(const char* name) const { return folder_.filePath(name).toStdString(); }

    // One run of the program: load at start-up, and the controls and record it leaves.
    struct Run {
        ConfigRecord record;
        FakeConfigControls controls;
    };
    void Start(Run& run) const { LoadConfig(path_, run.record, run.controls); }

    QTemporaryDir folder_;
    std::string path_ = PathOf("BRANNOX.INI");
};

TEST_F(ConfigFileTest, FirstStartWithoutFileLoadsEveryDefaultInOrder) {
    Run run;
    Start(run);

    EXPECT_THAT(
        run.controls.calls,
        ElementsAre("SelectTxDlc 0", "SetTxExtended 0", "SetTxResponse 0", "SetTxIdText 00000000",
                    "SetTxDataText0 00", "SetTxDataText1 00", "SetTxDataText2 00",
                    "SetTxDataText3 00", "SetTxDataText4 00", "SetTxDataText5 00",
                    "SetTxDataText6 00", "SetTxDataText7 00", "SetUseFilters 0", "SetListenOnly 0",
                    "SetLoopback 0", "SetBusRateText 0", "SelectGap 0", "SetTxLines 0",
                    // the defaults
                    "SetBusRateText 250000", "SelectTxDlc 8", "SetTxExtended 1",
                    "SetTxIdText 01234567", "SetTxDataText0 0", "SetTxDataText1 1",
                    "SetTxDataText2 2", "SetTxDataText3 3", "SetTxDataText4 4", "SetTxDataText5 5",
                    "SetTxDataText6 6", "SetTxDataText7 7", "SetLoopback 1", "SelectGap 6",
                    std::string("AppendTxLine ") + kDefaultLine, "DlcChanged", "RedrawFilterList",
                    "UpdateControls"));
    EXPECT_TRUE(run.controls.portName.empty());  // so the device is auto-detected
    EXPECT_TRUE(run.controls.logLines.empty());

    const ConfigRecord& record = run.record;
    EXPECT_EQ(record.baudRate, 115200);
    EXPECT_EQ(record.busRate, 250000);
    EXPECT_EQ(record.loopback, 1);
    EXPECT_EQ(record.dynamicDisplay, 1);
    EXPECT_EQ(record.signature, 0x19110B62u);
    ASSERT_EQ(record.filterCount, 1);
    EXPECT_EQ(record.filters[0].id, 0x01234567u);
    EXPECT_EQ(record.filters[0].mask, 0x0FFFFFF0u);
    EXPECT_EQ(record.filters[0].extended, 1);
    EXPECT_FALSE(FileExists(path_));  // loading writes nothing
}

TEST_F(ConfigFileTest, RestartReproducesTheSettingsWithTwoDigitDataBoxes) {
    Run first;
    Start(first);
    first.controls.height = 600;
    first.controls.width = 800;
    ASSERT_TRUE(SaveConfig(path_, first.record, first.controls));

    const IniFile file(path_);
    for (int offset = 0; offset < 452; ++offset)
        EXPECT_TRUE(file.Read("Global", "B" + std::to_string(offset))) << offset;
    EXPECT_FALSE(file.Read("Global", "B452"));
    EXPECT_EQ(file.Read("Transmits", "L0"), kDefaultLine);
    EXPECT_FALSE(file.Read("Transmits", "L1"));
    const auto bytes = [&file](int from) {
        std::vector<int32_t> values;
        for (int offset = from; offset < from + 4; ++offset)
            values.push_back(file.ReadInteger("Global", "B" + std::to_string(offset), -1));
        return values;
    };
    EXPECT_THAT(bytes(8), ElementsAre(0, 194, 1, 0));      // baudRate 115200
    EXPECT_THAT(bytes(432), ElementsAre(144, 208, 3, 0));  // busRate 250000
    EXPECT_THAT(bytes(448), ElementsAre(98, 11, 17, 25));  // the signature

    Run second;
    Start(second);
    const FakeConfigControls& controls = second.controls;
    EXPECT_EQ(controls.height, 600);
    EXPECT_EQ(controls.width, 800);
    EXPECT_EQ(controls.dlcIndex, 8);
    EXPECT_TRUE(controls.extended);
    EXPECT_FALSE(controls.response);
    EXPECT_EQ(controls.idText, "01234567");
    EXPECT_THAT(controls.dataText, ElementsAre("00", "01", "02", "03", "04", "05", "06", "07"));
    EXPECT_TRUE(controls.loopback);
    EXPECT_EQ(controls.busRateText, "250000");
    EXPECT_EQ(controls.gapIndex, 6);
    EXPECT_THAT(controls.txLines, ElementsAre(kDefaultLine));
    EXPECT_TRUE(controls.portName.empty());
    EXPECT_EQ(second.record.filterCount, 1);
    EXPECT_EQ(second.record.baudRate, 115200);
    EXPECT_EQ(second.record.dynamicDisplay, 1);
}

TEST_F(ConfigFileTest, BoxesAreSavedAsTheirHexValuesAndEmptySelectionsAsTheirIndex) {
    Run first;
    Start(first);
    first.controls.idText = "1G";
    first.controls.dataText[0] = "1FF";  // low 8 bits
    first.controls.dataText[1] = "zz";
    first.controls.dlcIndex = -1;
    first.controls.gapIndex = -1;
    first.controls.response = true;
    ASSERT_TRUE(SaveConfig(path_, first.record, first.controls));
    EXPECT_EQ(first.record.txId, 1u);
    EXPECT_EQ(first.record.txDlcIndex, 255);

    Run second;
    Start(second);
    EXPECT_EQ(second.controls.idText, "00000001");
    EXPECT_EQ(second.controls.dataText[0], "FF");
    EXPECT_EQ(second.controls.dataText[1], "00");
    EXPECT_EQ(second.controls.dlcIndex, 8);  // 255 is no index the box has
    EXPECT_EQ(second.controls.gapIndex, -1);
    EXPECT_TRUE(second.controls.response);
}

TEST_F(ConfigFileTest, LinesBeyondTheCountStayInTheFileAndAreIgnored) {
    Run first;
    Start(first);
    first.controls.txLines = {"100,0,0,0", "200,0,0,0", "300,0,0,0"};
    ASSERT_TRUE(SaveConfig(path_, first.record, first.controls));
    first.controls.txLines = {"400,0,0,0"};
    ASSERT_TRUE(SaveConfig(path_, first.record, first.controls));

    const IniFile file(path_);
    EXPECT_EQ(file.Read("Transmits", "L1"), "200,0,0,0");
    EXPECT_EQ(file.Read("Transmits", "L2"), "300,0,0,0");
    Run second;
    Start(second);
    EXPECT_THAT(second.controls.txLines, ElementsAre("400,0,0,0"));
}

TEST_F(ConfigFileTest, TransmitLineWithPunctuationInItsNoteSurvivesByteForByte) {
    const std::string line = "18EF20A3,1,0,2,FD,A0;   \"quoted\", a=b; c,,d ' e";
    Run first;
    Start(first);
    first.controls.txLines = {line, "", "7FF,0,0,0"};
    ASSERT_TRUE(SaveConfig(path_, first.record, first.controls));

    Run second;
    Start(second);
    EXPECT_THAT(second.controls.txLines, ElementsAre(line, "", "7FF,0,0,0"));
}

TEST_F(ConfigFileTest, SaveKeepsWhatTheProgramDoesNotKnow) {
    WriteFileBytes(path_,
                   "; written by hand\r\n"
                   "[Other]\r\nColour=blue\r\n\r\n"
                   "[global]\r\nb8=7\r\nExtra = kept\r\n");
    Run run;
    Start(run);
    ASSERT_TRUE(SaveConfig(path_, run.record, run.controls));

    const std::string text = ReadFileBytes(path_);
    EXPECT_EQ(
        text.rfind("; written by hand\r\n[Other]\r\nColour=blue\r\n\r\n[global]\r\nb8=0\r\n", 0),
        0u)
        << text;
    EXPECT_NE(text.find("\r\nExtra = kept\r\n"), std::string::npos);
    EXPECT_EQ(text.find("B8="), std::string::npos);  // the existing key was updated in place
}

TEST_F(ConfigFileTest, GarbageAndOutOfRangeValuesLoadCut) {
    WriteFileBytes(path_,
                   "this line means nothing\n[Global\n=5\n[Global]\n"
                   "B0=65\nB1=66\nB2=67\nB3=68\nB4=69\nB5=70\nB6=71\nB7=72\n"  // no NUL
                   "B8=abc\nB9=-62\nB10=257\nB11=0x10\n"       // 115200 from -62 and 257
                   "B20=200\n"                                 // txDlcIndex
                   "B36=99\n"                                  // filterCount
                   "B436=255\nB437=255\nB438=255\nB439=255\n"  // txLineCount -1
                   "B440=12\n"                                 // gapIndex
                   "B448=98\nB449=11\nB450=17\nB451=25\n");
    Run run;
    Start(run);
    const ConfigRecord& record = run.record;
    EXPECT_EQ(run.controls.portName, "ABCDEFG");
    EXPECT_EQ(record.baudRate, 115200);
    EXPECT_EQ(record.filterCount, 32);
    EXPECT_EQ(record.txLineCount, 0);
    EXPECT_EQ(run.controls.dlcIndex, 8);
    EXPECT_EQ(run.controls.gapIndex, -1);
    EXPECT_TRUE(run.controls.txLines.empty());

    // A forged count costs no more lines than the file holds keys.
    WriteFileBytes(path_,
                   "[Global]\nB436=255\nB437=255\nB438=255\nB439=127\n"
                   "B448=98\nB449=11\nB450=17\nB451=25\n[Transmits]\nL0=a\nL2=c\nL5=f\n");
    Run huge;
    Start(huge);
    EXPECT_EQ(huge.record.txLineCount, 3);
    EXPECT_THAT(huge.controls.txLines, ElementsAre("a", "", "c"));
}

TEST_F(ConfigFileTest, EveryTransmitLineComesBackBeyondTenThousand) {
    Run first;
    Start(first);
    first.controls.txLines.clear();
    for (int j = 0; j < 12000; ++j)
        first.controls.txLines.push_back("100,0,0,1," + std::to_string(j % 100));
    ASSERT_TRUE(SaveConfig(path_, first.record, first.controls));

    Run second;
    Start(second);
    EXPECT_EQ(second.record.txLineCount, 12000);
    EXPECT_EQ(second.controls.txLines, first.controls.txLines);
}

TEST_F(ConfigFileTest, ARecordWithoutSignatureGetsTheDefaultsOnTop) {
    Run first;
    Start(first);
    first.controls.txLines = {"100,0,0,0"};
    ASSERT_TRUE(SaveConfig(path_, first.record, first.controls));
    IniFile file(path_);
    file.Write("Global", "B451", "0");
    file.Write("Global", "B36", "32");  // a full filter table
    ASSERT_TRUE(file.Save());

    Run second;
    Start(second);
    EXPECT_THAT(second.controls.txLines, ElementsAre("100,0,0,0", kDefaultLine));
    EXPECT_EQ(second.record.filterCount, 32);
    EXPECT_EQ(second.record.signature, 0x19110B62u);
}

TEST_F(ConfigFileTest, DynamicDisplayOffIsPointedOutInTheLog) {
    Run first;
    Start(first);
    first.record.dynamicDisplay = 0;
    ASSERT_TRUE(SaveConfig(path_, first.record, first.controls));

    Run second;
    Start(second);
    EXPECT_THAT(second.controls.logLines,
                ElementsAre("Turn on Dynamic Display to see received packets!"));
    EXPECT_EQ(second.controls.calls.back(),
              "AppendLogLine Turn on Dynamic Display to see received packets!");
}

TEST_F(ConfigFileTest, LongPortNameComesBackWholeWhileTheRecordAgrees) {
    const std::string port = "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0";
    Run first;
    Start(first);
    first.controls.portName = port;
    ASSERT_TRUE(SaveConfig(path_, first.record, first.controls));
    EXPECT_STREQ(first.record.savedPort, "/dev/se");

    Run second;
    Start(second);
    EXPECT_EQ(second.controls.portName, port);

    // A program that knows only the record changed the port: the record wins.
    IniFile file(path_);
    for (int offset = 0; offset < 5; ++offset)
        file.Write("Global", "B" + std::to_string(offset), std::to_string("COM3"[offset]));
    ASSERT_TRUE(file.Save());
    Run third;
    Start(third);
    EXPECT_EQ(third.controls.portName, "COM3");
}

TEST_F(ConfigFileTest, SaveThatCannotCompleteLeavesThePreviousFile) {
    const std::string previous = "[Global]\r\nB0=67\r\n";
    WriteFileBytes(path_, previous);
    Run run;
    Start(run);
    {
        const FileSizeLimit diskFull(previous.size() + 10);
        std::string failure;
        EXPECT_FALSE(SaveConfig(path_, run.record, run.controls, &failure));
        EXPECT_EQ(failure, "File too large");
    }
    EXPECT_EQ(ReadFileBytes(path_), previous);

    WriteFileBytes(PathOf("plain-file"), "x");
    EXPECT_FALSE(SaveConfig(PathOf("plain-file") + "/BRANNOX.INI", run.record, run.controls));
    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST_F(ConfigFileTest, OnlyAWholeConfigurationOfBytesPassesTheCheck) {
    Run run;
    Start(run);
    ASSERT_TRUE(SaveConfigAs(path_, run.record, run.controls));
    const std::string whole = ReadFileBytes(path_);
    const auto replaced = [&whole](const std::string& from, const std::string& to) {
        std::string text = whole;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    struct Case {
        const char* name;
        std::string contents;
        std::string problem;
    };
    const Case cases[] = {
        {"whole", whole, ""},
        {"empty", "", "It is not a configuration file: it holds none of the settings."},
        // Garbage, a cut file and a wrong signature: see the window's test.
        {"no number", replaced("\nB31=0\r", "\nB31=x\r"),
         "It is damaged: the value of B31 is not a byte."},
    };
    for (const Case& c : cases) {
        WriteFileBytes(path_, c.contents);
        EXPECT_EQ(ConfigFileProblem(IniFile(path_)), c.problem) << c.name;
    }
    WriteFileBytes(path_, replaced("\nB31=0\r", "\nB31=256\r"));
    EXPECT_EQ(ConfigFileProblem(IniFile(path_)), "It is damaged: the value of B31 is not a byte.");
    EXPECT_EQ(ConfigFileProblem(IniFile(folder_.path().toStdString())), "Not a regular file");
}

TEST_F(ConfigFileTest, SaveAsReplacesWhatTheFileHeld) {
    WriteFileBytes(path_, "[Other]\r\nColour=blue\r\n[Transmits]\r\nL7=old\r\n");
    Run run;
    Start(run);
    ASSERT_TRUE(SaveConfigAs(path_, run.record, run.controls));
    const IniFile file(path_);
    EXPECT_FALSE(file.Read("Other", "Colour"));
    EXPECT_FALSE(file.Read("Transmits", "L7"));
    EXPECT_EQ(file.Read("Transmits", "L0"), kDefaultLine);
    EXPECT_EQ(ConfigFileProblem(file), "");
}

}  // namespace
