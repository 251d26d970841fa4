// The graph's axes: RTT gridlines and clock-time ticks at nice steps.
#include "graph/graph_axes.h"
#include <gtest/gtest.h>
#include <string>

namespace {

std::string Labels(const RttAxis& axis) {
    std::string labels;
    char text[32];
    for (int line = 1; line <= axis.lines; line++)
        labels += std::string(line > 1 ? " " : "") + FormatRttLabel(axis, line, text, sizeof text);
    return labels;
}

TEST(GraphAxes, RttGridlinesAtNiceStepsWithHeadroom) {
    const struct {
        double maxRtt;
        const char* labels;
    } cases[] = {
        {0, "0.2 0.4 0.6 0.8 1.0"}, // a hop under a millisecond: 0 to 1 ms
        {1, "0.5 1.0 1.5"},         // 0 to 1 ms with headroom
        {2500, "1000 2000 3000"},   // 0 to 2,500 ms
        {42, "10 20 30 40 50"},     {8000, "2000 4000 6000 8000 10000"},
    };
    for (const auto& c : cases) {
        RttAxis axis = NiceRttAxis(c.maxRtt);
        EXPECT_EQ(Labels(axis), c.labels) << "max " << c.maxRtt;
        EXPECT_GE(axis.lines, 3) << "max " << c.maxRtt;
        EXPECT_LE(axis.lines, 6) << "max " << c.maxRtt;
        EXPECT_GT(axis.top, c.maxRtt) << "headroom above " << c.maxRtt;
    }
}

TEST(GraphAxes, ClockTicksFitTheirLabelsAndFallOnTheClock) {
    TimeAxis minute = NiceTimeAxis(60, 8);
    EXPECT_EQ(minute.step, 10);
    EXPECT_TRUE(minute.withSeconds);
    TimeAxis day = NiceTimeAxis(86400, 8);
    EXPECT_EQ(day.step, 10800);
    EXPECT_FALSE(day.withSeconds);
    EXPECT_DOUBLE_EQ(FirstTimeTick(minute, 14 * 3600 + 2 * 60 + 3.5), 14 * 3600 + 2 * 60 + 10);
    char text[16];
    EXPECT_STREQ(FormatClock(14 * 3600 + 2 * 60 + 10, true, text, sizeof text), "14:02:10");
    EXPECT_STREQ(FormatClock(86400 + 3600 + 60, false, text, sizeof text), "01:01");
}

} // namespace
