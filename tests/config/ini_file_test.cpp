#include "config/ini_file.h"

#include <gtest/gtest.h>

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

}  // namespace
