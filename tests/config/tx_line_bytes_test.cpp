#include "config/tx_line_bytes.h"

#include <gtest/gtest.h>

namespace {

TEST(TxLineBytesTest, EightBitLinesGoBackAsReadAndUtf8StaysUtf8) {
    TxLineBytes lines;
    const std::string eightBit =
        "100,0,0,0; 20\xB0"
        "C caf\xE9 \x80\xFF";
    const QString shown = lines.Decode(eightBit);
    EXPECT_EQ(shown, QString::fromUtf8("100,0,0,0; 20°C café \xC2\x80\xC3\xBF"));
    EXPECT_EQ(lines.Encode(shown), eightBit);

    const std::string utf8 =
        "100,0,0,0; 20\xC2\xB0"
        "C";
    EXPECT_EQ(lines.Decode(utf8), QString::fromUtf8("100,0,0,0; 20°C"));
    EXPECT_EQ(lines.Encode(lines.Decode(utf8)), utf8);
    const std::string cutShort = "note \xC2";  // a sequence cut off at the end is no UTF-8
    EXPECT_EQ(lines.Encode(lines.Decode(cutShort)), cutShort);

    // A line the user changed is new text, written in UTF-8.
    EXPECT_EQ(lines.Encode(shown + "!"), (shown + "!").toStdString());
}

}  // namespace
