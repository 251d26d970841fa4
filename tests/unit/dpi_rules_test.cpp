// Sizes for a screen's DPI: scaled as Windows rounds, the artwork's size picked, and the INI
// file's column widths kept in 96-DPI units on every screen.
#include "dpi/dpi_rules.h"
#include <climits>
#include <gtest/gtest.h>

namespace {

TEST(DpiRules, SizesScaleAsMulDivRounds) {
    struct {
        int value, dpi, scaled;
    } const cases[] = {
        {700, 96, 700},
        {44, 120, 55},
        {44, 144, 66},
        {44, 192, 88},
        {5, 144, 8},     // 7.5: a half rounds away from zero
        {-5, 144, -8},   // ... on both sides, as MulDiv rounds
        {7, 120, 9},     // 8.75
        {2, 110, 2},     // 2.29
        {300, 0, 300},   // no DPI known: 96
        {300, -96, 300}, // nor a negative one
        {INT_MAX, 192, INT_MAX},
        {INT_MIN, 192, INT_MIN}, // saturated, not wrapped
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScaleToDpi(c.value, c.dpi), c.scaled) << c.value << " at " << c.dpi;
    EXPECT_EQ(ScaleFromDpi(67, 144), 45); // 44.67
    EXPECT_EQ(ScaleFromDpi(-75, 144), -50);
}

TEST(DpiRules, ArtworkIsTheNearestSizeAtOrAboveTheNeed) {
    const int sizes[] = {24, 36, 48};
    struct {
        int needed, index;
    } const cases[] = {
        {24, 0}, {36, 1}, {48, 2}, // exact: drawn for it
        {18, 0},                   // 72 DPI: the 100% drawing, shrunk
        {30, 1},                   // 120 DPI: the 150% one, shrunk
        {42, 2},                   // 168 DPI: the 200% one, shrunk
        {60, 2},                   // 240 DPI: none so large, the largest
    };
    for (const auto& c : cases)
        EXPECT_EQ(PickArtworkSize(c.needed, sizes, 3), c.index) << c.needed;
}

// A width survives the trip to the file and back at each DPI, hidden or shown; what a user
// dragged to at 144 DPI reads back as the same pixels there and in proportion at 96.
TEST(DpiRules, ColumnWidthsRoundTripThroughTheFile) {
    for (int dpi : {96, 120, 144, 192})
        for (int width = 0; width <= 2000; width++)
            for (int value : {width, -width})
                ASSERT_EQ(StoredColumnValue(ColumnValueAtDpi(value, dpi), dpi), value)
                    << value << " at " << dpi;
    EXPECT_EQ(StoredColumnValue(101, 144), 67);
    EXPECT_EQ(ColumnValueAtDpi(67, 144), 101);
    EXPECT_EQ(StoredColumnValue(-360, 144), -240);
    EXPECT_EQ(ColumnValueAtDpi(-240, 192), -480);
}

TEST(DpiRules, AShownColumnNeverRoundsToHidden) {
    EXPECT_EQ(StoredColumnValue(1, 240), 1);  // 0.4 would read back as hidden
    EXPECT_EQ(ColumnValueAtDpi(1, 40), 1);    // 0.42
    EXPECT_EQ(StoredColumnValue(0, 240), 0);  // hidden at width 0 stays so
    EXPECT_EQ(StoredColumnValue(-1, 240), 0); // a hidden one may come back as 0: still hidden
}

} // namespace
