#include "config/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include "support/file_bytes.h"

namespace {

class IniFileTest : public ::testing::Test {
  protected:
    QTemporaryDir folder_;
    std::string path_ = folder_.filePath("test.ini").toStdString();
};

TEST_F(IniFileTest, ReadsAsTheWindowsProfileFunctionsDo) {
    WriteFileBytes(path_,
                   "Preamble=not in any section\n"
                   "[gLoBaL]\r\n"
                   "  KeY  =  a, b; \"c\" = d  \r\n"
                   "key=second of the same name\n"
                   "no equals sign here\n"
                   "Empty=\n"
                   "[ Spaced ]\n"
                   "x=1");  // no line end at the end of the file
    const IniFile file(path_);
    EXPECT_EQ(file.Read("Global", "KEY"), "a, b; \"c\" = d");
    EXPECT_EQ(file.Read("global", "empty"), "");
    EXPECT_EQ(file.Read("Spaced", "X"), "1");
    EXPECT_FALSE(file.Read("Global", "missing"));
    EXPECT_FALSE(file.Read("Missing", "key"));
    EXPECT_FALSE(file.Read("", "Preamble"));
}

TEST_F(IniFileTest, ReadsIntegersUpToTheFirstOtherCharacter) {
    WriteFileBytes(path_,
                   "[S]\nplain=123\nsigned=-5\nplus=+7\ntail=12abc\nword=abc\nsign=-\n"
                   "huge=4294967297\nempty=\n");
    const IniFile file(path_);
    EXPECT_EQ(file.ReadInteger("S", "plain", 99), 123);
    EXPECT_EQ(file.ReadInteger("S", "signed", 99), -5);
    EXPECT_EQ(file.ReadInteger("S", "plus", 99), 7);
    EXPECT_EQ(file.ReadInteger("S", "tail", 99), 12);
    EXPECT_EQ(file.ReadInteger("S", "huge", 99), 1);  // wraps in 32 bits
    for (const char* notANumber : {"word", "sign", "empty", "missing"})
        EXPECT_EQ(file.ReadInteger("S", notANumber, 99), 99) << notANumber;
}

TEST_F(IniFileTest, WritesKeysInPlaceAndKeepsEverythingElse) {
    WriteFileBytes(path_,
                   "; comment\n"
                   "[First]\n"
                   "Kept = as it was \n"
                   "Value=old\n"
                   "\n"
                   "[Second]\n"
                   "Other=1\n");
    IniFile file(path_);
    file.Write("FIRST", "value", "new");
    file.Write("first", "Added", "two\r\nlines");
    file.Write("Third", "Key", "  padded  ");
    EXPECT_EQ(file.Read("First", "added"), "two  lines");
    EXPECT_EQ(file.Read("third", "key"), "padded");
    ASSERT_TRUE(file.Save());

    EXPECT_EQ(ReadFileBytes(path_),
              "; comment\r\n"
              "[First]\r\n"
              "Kept = as it was \r\n"
              "Value=new\r\n"
              "Added=two  lines\r\n"
              "\r\n"
              "[Second]\r\n"
              "Other=1\r\n"
              "[Third]\r\n"
              "Key=  padded  \r\n");
    EXPECT_EQ(IniFile(path_).Read("Third", "Key"), "padded");
}

TEST_F(IniFileTest, MissingFileReadsEmptyAndAFailedSaveSaysSo) {
    IniFile missing(path_);
    EXPECT_FALSE(missing.Read("Global", "B0"));
    missing.Write("Global", "B0", "1");
    ASSERT_TRUE(missing.Save());
    EXPECT_EQ(ReadFileBytes(path_), "[Global]\r\nB0=1\r\n");

    WriteFileBytes(path_ + ".d", "a plain file, so nothing can be made below it");
    IniFile unwritable(path_ + ".d/test.ini");
    unwritable.Write("Global", "B0", "1");
    EXPECT_FALSE(unwritable.Save());
}

TEST_F(IniFileTest, ReadsOnlyARegularFileOfASaneSize) {
    const std::string fifo = path_ + ".fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string zeroLink = path_ + ".zero";
    ASSERT_EQ(::symlink("/dev/zero", zeroLink.c_str()), 0);
    const std::string huge = path_ + ".huge";
    WriteFileBytes(huge, "[Global]\nB0=1\n");
    ASSERT_EQ(::truncate(huge.c_str(), IniFile::kMaxReadBytes + 1), 0);
    const struct {
        std::string path;
        const char* failure;
    } cases[] = {{fifo, "Not a regular file"},  // a pipe would block until written to
                 {zeroLink, "Not a regular file"},
                 {folder_.path().toStdString(), "Not a regular file"},
                 {huge, "Larger than 16 MB"},
                 {path_, ""}};  // missing
    for (const auto& [path, failure] : cases) {
        const IniFile file(path);
        EXPECT_EQ(file.ReadFailure(), failure) << path;
        EXPECT_EQ(file.KeyCount("Global"), 0u) << path;
    }
}

TEST_F(IniFileTest, SavesOnlyIntoARegularFileAndKeepsALinkToOne) {
    const std::string deviceLink = path_ + ".null";
    ASSERT_EQ(::symlink("/dev/null", deviceLink.c_str()), 0);
    IniFile device(deviceLink);
    device.Write("Global", "B0", "1");
    std::string failure;
    EXPECT_FALSE(device.Save(&failure));
    EXPECT_EQ(failure, "Not a regular file");
    EXPECT_EQ(QFileInfo(QString::fromStdString(deviceLink)).symLinkTarget(), "/dev/null");

    const std::string link = path_ + ".link";
    WriteFileBytes(path_, "[Global]\nB0=0\n");
    ASSERT_EQ(::symlink(path_.c_str(), link.c_str()), 0);
    IniFile linked(link);
    linked.Write("Global", "B0", "2");
    ASSERT_TRUE(linked.Save());
    EXPECT_TRUE(QFileInfo(QString::fromStdString(link)).isSymLink());
    EXPECT_EQ(ReadFileBytes(path_), "[Global]\r\nB0=2\r\n");
}

TEST_F(IniFileTest, UntouchedLinesComeBackByteForByteWhateverTheirEncoding) {
    // 8-bit bytes (degree sign, accented letters), UTF-8, runs of blank lines and stray text.
    const std::string eightBit =
        "Note=20\xB0"
        "C caf\xE9 \xFF\x80";
    WriteFileBytes(path_, "[Global]\n" + eightBit + "\n\n\n\nstray \xB5 text\nmore\n" +
                              "Utf8=20\xC2\xB0"
                              "C\n\n\n[Next]\nKey=1");
    IniFile file(path_);
    EXPECT_EQ(file.Read("Global", "Note"),
              "20\xB0"
              "C caf\xE9 \xFF\x80");
    file.Write("Global", "B0", "7");
    ASSERT_TRUE(file.Save());
    EXPECT_EQ(ReadFileBytes(path_), "[Global]\r\n" + eightBit +
                                        "\r\n\r\n\r\n\r\nstray \xB5 text\r\nmore\r\n"
                                        "Utf8=20\xC2\xB0"
                                        "C\r\nB0=7\r\n\r\n\r\n[Next]\r\nKey=1\r\n");
}

}  // namespace
