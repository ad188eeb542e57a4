#include "transmit/can_message_model.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using Bytes = std::array<std::string, CanMessageModel::kMaxBytes>;

const std::string kDefaultConfigLine =
    "18EF20A3,1,0,8,FD,A0,0F,FF,FF,FF,FF,FF; Turn on, Default Direction, 2000RPM";

}  // namespace

TEST(CanMessageModel, LoadedLinesAndTheirResults) {
    struct LoadCase {
        std::string line;
        std::string id;
        bool extended;
        bool rtr;
        int dlc;
        std::vector<std::string> bytes;  // the shown ones
        std::string note;
    };
    const std::vector<LoadCase> cases = {
        {kDefaultConfigLine,
         "18EF20A3",
         true,
         false,
         8,
         {"FD", "A0", "0F", "FF", "FF", "FF", "FF", "FF"},
         "Turn on, Default Direction, 2000RPM"},
        {"123,0,0,2,,05", "123", false, false, 2, {"05", "00"}, ""},
        {"123,0,0,2,11,22,33; note", "123", false, false, 2, {"11", "22"}, "33"},
        {"123,1,0,0; note", "123", true, false, 0, {}, ""},
        {"123456789,0,1,1,a", "12345678", false, true, 1, {"A"}, ""},
        // A given but empty line: every field missing.
        {"", "00000000", true, false, 8, {"00", "00", "00", "00", "00", "00", "00", "00"}, ""},
        // Only "0" clears Extended ID; only "1" sets RTR; byte texts are normalised.
        {"7,x,x,3,1g,xyz,abc", "7", true, false, 3, {"10", "00", "AB"}, ""},
        {"7,0,1,12", "7", false, true, 8, {"00", "00", "00", "00", "00", "00", "00", "00"}, ""},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.line);
        CanMessageModel model;
        model.Load(c.line);
        EXPECT_EQ(model.id, c.id);
        EXPECT_EQ(model.extended, c.extended);
        EXPECT_EQ(model.rtr, c.rtr);
        EXPECT_EQ(model.dlc, c.dlc);
        for (size_t i = 0; i < c.bytes.size(); ++i) EXPECT_EQ(model.data[i], c.bytes[i]);
        EXPECT_EQ(model.note, c.note);
    }
}

TEST(CanMessageModel, UnchangedLineComesBackExactly) {
    CanMessageModel model;
    model.Load(kDefaultConfigLine);
    EXPECT_EQ(model.FormLine(), kDefaultConfigLine);
    model.Load("7FF,0,0,0");
    EXPECT_EQ(model.FormLine(), "7FF,0,0,0; ");  // the note was touched by the first use
}

TEST(CanMessageModel, NoteIsAddedOnlyOnceTouchedAndKeepsToOneLine) {
    CanMessageModel model;
    EXPECT_EQ(model.FormLine(), "00000000,0,0,8,00,00,00,00,00,00,00,00");
    model.SetNote(model.note);  // no change of the text
    EXPECT_FALSE(model.noteTouched);
    model.SetNote("first\r\nsecond\nthird\rfourth");
    EXPECT_TRUE(model.noteTouched);
    model.SetDlc(0);
    EXPECT_EQ(model.FormLine(), "00000000,0,0,0; first second third fourth");
    model.SetNote("");
    EXPECT_TRUE(model.noteTouched);
}

TEST(CanMessageModel, BigDataIsRightAlignedOverTheShownBytes) {
    struct BigDataCase {
        std::string typed;
        int dlc;
        std::vector<std::string> bytes;
    };
    const std::vector<BigDataCase> cases = {
        {"1234", 2, {"12", "34"}},
        {"5", 2, {"00", "05"}},
        {"123456", 2, {"34", "56"}},
        {"", 2, {"00", "00"}},
        {"zz", 2, {"00", "00"}},
        {"abc", 3, {"00", "0A", "BC"}},
        // The value is made of the last sixteen digits.
        {"123456789ABCDEF012", 8, {"34", "56", "78", "9A", "BC", "DE", "F0", "12"}},
        {"123456789", 8, {"00", "00", "00", "01", "23", "45", "67", "89"}},
    };
    for (const BigDataCase& c : cases) {
        SCOPED_TRACE(c.typed);
        CanMessageModel model;
        model.SetDlc(c.dlc);
        model.SetBigData(c.typed);
        for (int i = 0; i < c.dlc; ++i) EXPECT_EQ(model.data[i], c.bytes[i]);
        EXPECT_EQ(model.bigData, c.typed);  // the box stays as typed
    }
}

TEST(CanMessageModel, ATypedByteIsNormalisedAndShownPaddedInBigData) {
    CanMessageModel model;
    model.Load("1,1,0,3,11,22,33");
    model.SetByte(1, "a");
    EXPECT_EQ(model.data[1], "A");
    EXPECT_EQ(model.bigData, "110A33");
    model.SetByte(2, "x7f");
    EXPECT_EQ(model.data[2], "07");
    model.SetByte(0, "");
    EXPECT_EQ(model.bigData, "000A07");
    EXPECT_EQ(model.FormLine(), "1,1,0,3,,A,07; ");
}

TEST(CanMessageModel, IdentifierRule) {
    CanMessageModel model;
    for (const auto& [typed, kept] : std::vector<std::pair<std::string, std::string>>{
             {"1f", "1F"}, {"xyz", "000"}, {"12345678F", "12345678"}, {"", ""}}) {
        model.SetId(typed);
        EXPECT_EQ(model.id, kept) << typed;
    }
}
