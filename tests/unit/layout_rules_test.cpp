// The stored column values and window placements, at their edges.
#include "hoptable/report_layout.h"
#include "settings/layout_rules.h"
#include <climits>
#include <gtest/gtest.h>

namespace {

TEST(LayoutRules, ColumnValuesDecodeAndEncodeBack) {
    struct {
        int value, visible, width;
    } const cases[] = {
        {240, 1, 240},         // shown with its width
        {-240, 0, 240},        // hidden, the width remembered
        {0, 0, 0},             // zero is hidden
        {INT_MIN, 0, INT_MAX}, // no width is negative
        {INT_MAX, 1, INT_MAX},
    };
    for (const auto& c : cases) {
        ColumnLayout layout = DecodeColumnValue(c.value);
        EXPECT_EQ(layout.visible, c.visible) << c.value;
        EXPECT_EQ(layout.width, c.width) << c.value;
        if (c.value != INT_MIN) {
            EXPECT_EQ(EncodeColumnValue(layout.visible, layout.width, layout.width), c.value);
        }
    }
    EXPECT_EQ(EncodeColumnValue(1, 0, 90), 0) << "a shown column at width 0 comes back hidden";
}

TEST(LayoutRules, PlacementNeedsAreaAndEdgesThatFit) {
    EXPECT_TRUE(PlacementHasArea(-100, -50, 700, 340));
    EXPECT_FALSE(PlacementHasArea(0, 0, 0, 340));
    EXPECT_FALSE(PlacementHasArea(0, 0, 700, -1));
    EXPECT_FALSE(PlacementHasArea(INT_MAX - 10, 0, 700, 340));
    EXPECT_TRUE(PlacementHasArea(INT_MIN, INT_MIN, 700, 340));
}

TEST(ReportLayout, FieldsPadToTheirWidthAndNeverCut) {
    struct {
        const char* text;
        int width, html;
        const char* field;
    } const cases[] = {
        {"Hop", -5, 0, "Hop  "},  // negative: left-aligned
        {"Sent", 6, 0, "  Sent"}, // positive: right-aligned
        {"longer than it", 4, 0, "longer than it"},
        {"a<b", -5, 1, "a&lt;b  "}, // padded by the text's own length
        {"\"&>", 5, 1, "  &quot;&amp;&gt;"},
    };
    for (const auto& c : cases) {
        std::string field;
        AppendReportField(field, c.text, c.width, c.html);
        EXPECT_EQ(field, c.field) << c.text << " in " << c.width;
    }
}

} // namespace
