#include "filters/filter_text.h"

#include <gtest/gtest.h>

namespace {

FilterEntry Entry(uint32_t id, uint32_t mask, bool extended) {
    FilterEntry entry;
    entry.id = id;
    entry.mask = mask;
    entry.extended = extended ? 1 : 0;
    return entry;
}

}  // namespace

TEST(FilterListLine, ListsFastAndStoredEntriesByteForByte) {
    EXPECT_EQ(FilterListLine(Entry(0x01234567, 0x0FFFFFF0, true), 0),
              "F E   0 0x01234567    0 0x0FFFFFF0  (X 0001 0010 0011 0100 0101 0110 XXXX )");
    EXPECT_EQ(FilterListLine(Entry(0x123, 0x7F0, false), 7),
              "  S   7 0x123    7 0x7F0  (001 0010 XXXX )");
    // Entry 5 is the last one the device gets; two-digit numbers fill the %2d field.
    EXPECT_EQ(FilterListLine(Entry(0x7FF, 0x7FF, false), 5).substr(0, 11), "F S   5 0x7");
    EXPECT_EQ(FilterListLine(Entry(0, 0, false), 31).substr(0, 7), "  S  31");
}

TEST(FilterPattern, ShowsComparedBitsAndIgnoredBitsInGroupsOfFour) {
    EXPECT_EQ(FilterPattern(Entry(0, 0x1FFF0000, true)), "0 0000 0000 0000 XXXX XXXX XXXX XXXX ");
    EXPECT_EQ(FilterPattern(Entry(0x1FFFFFFF, 0x1FFFFFFF, true)).size(), 37u);
    EXPECT_EQ(FilterPattern(Entry(0x5A5, 0x7FF, false)), "101 1010 0101 ");
    // Bits above the identifier size are not shown.
    EXPECT_EQ(FilterPattern(Entry(0xFFFFFFFF, 0xFFFFF800, false)), "XXX XXXX XXXX ");
}

TEST(FilterFromTexts, CutsToTheIdentifierSizeOnlyWhenConfirmed) {
    const FilterEntry standard = FilterFromTexts("FFFF", "1FFF0000", false, true);
    EXPECT_EQ(standard.id, 0x7FFu);
    EXPECT_EQ(standard.mask, 0u);  // the new entry's mask passes every standard identifier
    EXPECT_EQ(standard.extended, 0);

    const FilterEntry extended = FilterFromTexts("FFFFFFFF", "ffffffff", true, true);
    EXPECT_EQ(extended.id, 0x1FFFFFFFu);
    EXPECT_EQ(extended.mask, 0x1FFFFFFFu);
    EXPECT_EQ(extended.extended, 1);

    // The live pattern reads the texts uncut; malformed hex reads as its valid prefix.
    const FilterEntry live = FilterFromTexts("FFFF", "12G4", false, false);
    EXPECT_EQ(live.id, 0xFFFFu);
    EXPECT_EQ(live.mask, 0x12u);
}
