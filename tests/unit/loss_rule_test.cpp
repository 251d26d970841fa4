// The % Loss column's rule.
#include "hoptable/loss_rule.h"
#include <gtest/gtest.h>

namespace {

TEST(LossRule, TruncatesTheReceivedShare) {
    EXPECT_EQ(LossPercent(12, 11), 9); // 1100 / 12 = 91
    EXPECT_EQ(LossPercent(3, 1), 67);  // 100 / 3 = 33
    EXPECT_EQ(LossPercent(3, 2), 34);  // 200 / 3 = 66
    EXPECT_EQ(LossPercent(4, 4), 0);
    EXPECT_EQ(LossPercent(4, 1), 75);
    EXPECT_EQ(LossPercent(7, 3), 58); // 300 / 7 = 42
}

TEST(LossRule, WithoutRepliesReadsAllOrNothing) {
    EXPECT_EQ(LossPercent(5, 0), 100);
    EXPECT_EQ(LossPercent(0, 0), 0);
}

TEST(LossRule, StaysRightForHopsPingedForDays) {
    // 30 million replies would overflow 32-bit arithmetic at received x 100.
    EXPECT_EQ(LossPercent(30000000, 29700000), 1);
    EXPECT_EQ(LossPercent(2147483647, 2147483647), 0);
}

} // namespace
