// A hop's history: its buckets, the figures of a span and the span cut into columns of pixels.
#include "graph/hop_history.h"
#include <gtest/gtest.h>
#include <cmath>
#include <memory>
#include <string>

namespace {

std::unique_ptr<HopHistory> EmptyHistory() {
    return std::unique_ptr<HopHistory>(new HopHistory()); // zeroed: an empty history
}

// RTTs 10, 30, 20, then one lost, then 40 (hand-computed): differences 20, 10, 20 -> jitter 50 / 3;
// mean 25, squares 100 + 900 + 400 + 1600 = 3000 -> variance 3000 / 4 - 625 = 125.
TEST(HopHistory, SpanFiguresMatchHandComputedJitterAndDeviation) {
    auto history = EmptyHistory();
    RecordEcho(*history, 5, true, 10);
    RecordEcho(*history, 5, true, 30);
    RecordEcho(*history, 6, true, 20);
    RecordEcho(*history, 7, false, 0);
    RecordEcho(*history, 8, true, 40);
    SpanFigures f = SumSpan(*history, GraphSpan::Minute, 8);
    EXPECT_EQ(f.sent, 5u);
    EXPECT_EQ(f.answered, 4u);
    EXPECT_EQ(f.minRtt, 10u);
    EXPECT_EQ(f.maxRtt, 40u);
    EXPECT_DOUBLE_EQ(SpanLossPercent(f), 20);
    EXPECT_DOUBLE_EQ(SpanAverageRtt(f), 25);
    EXPECT_DOUBLE_EQ(SpanJitter(f), 50.0 / 3);
    EXPECT_DOUBLE_EQ(SpanStdDev(f), std::sqrt(125.0));
    char text[200];
    EXPECT_STREQ(FormatSpanFigures(f, text, sizeof text),
                 "Sent 5   Lost 20.0%   Min / Avg / Max 10 / 25.0 / 40 ms   Jitter 16.7 ms   "
                 "StDev 11.2 ms");
    // A span that starts after the first answer still counts the difference to it.
    SpanFigures later = SumSpan(*history, GraphSpan::Minute, 65);
    EXPECT_EQ(later.sent, 3u) << "seconds 6 ... 65";
    EXPECT_DOUBLE_EQ(SpanJitter(later), 15) << "|20 - 30| and |40 - 20|";
}

TEST(HopHistory, NothingAnsweredReadsAsLossWithoutFigures) {
    auto history = EmptyHistory();
    char text[200];
    SpanFigures none = SumSpan(*history, GraphSpan::Hour, 100);
    EXPECT_EQ(none.sent, 0u);
    EXPECT_DOUBLE_EQ(SpanLossPercent(none), 0);
    RecordEcho(*history, 3, false, 0);
    SpanFigures lost = SumSpan(*history, GraphSpan::Hour, 100);
    EXPECT_DOUBLE_EQ(SpanLossPercent(lost), 100);
    EXPECT_DOUBLE_EQ(SpanJitter(lost), 0);
    EXPECT_DOUBLE_EQ(SpanStdDev(lost), 0);
    EXPECT_STREQ(FormatSpanFigures(lost, text, sizeof text),
                 "Sent 1   Lost 100.0%   Min / Avg / Max - / - / - ms   Jitter - ms   StDev - ms");
}

// The second ring holds the last hour: an echo an hour later takes the slot over, and the older
// second reads as empty; the minute ring still holds both.
TEST(HopHistory, RingWrapsPastAnHour) {
    auto history = EmptyHistory();
    RecordEcho(*history, 10, true, 5);
    RecordEcho(*history, 10 + kSecondBuckets, true, 7);
    EXPECT_EQ(SumSpan(*history, GraphSpan::Minute, 10).sent, 0u) << "second 10 was taken over";
    SpanFigures hour = SumSpan(*history, GraphSpan::Hour, 10 + kSecondBuckets);
    EXPECT_EQ(hour.sent, 1u);
    EXPECT_EQ(hour.minRtt, 7u);
    SpanFigures day = SumSpan(*history, GraphSpan::Day, 10 + kSecondBuckets);
    EXPECT_EQ(day.sent, 2u);
    EXPECT_EQ(day.minRtt, 5u);
    // A late echo of a second the ring has already passed is kept out of it, not mixed in.
    RecordEcho(*history, 10, true, 99);
    EXPECT_EQ(SumSpan(*history, GraphSpan::Hour, 10 + kSecondBuckets).maxRtt, 7u);
}

// Each column shows the echoes of the buckets that fall in it, oldest on the left.
TEST(HopHistory, BinsMoreBucketsThanColumnsAndFewer) {
    auto history = EmptyHistory();
    for (uint32_t second = 0; second < 600; second++)
        RecordEcho(*history, second, true, second);
    SpanFigures columns[60];
    BinSpan(*history, GraphSpan::TenMinutes, 599, columns, 60); // 10 seconds a column
    for (int c = 0; c < 60; c++) {
        EXPECT_EQ(columns[c].sent, 10u) << "column " << c;
        EXPECT_EQ(columns[c].minRtt, 10u * c) << "column " << c;
        EXPECT_EQ(columns[c].maxRtt, 10u * c + 9) << "column " << c;
    }
    SpanFigures wide[240];
    BinSpan(*history, GraphSpan::Minute, 599, wide, 240); // each second fills 4 columns
    for (int c = 0; c < 240; c++) {
        EXPECT_EQ(wide[c].sent, 1u) << "column " << c;
        EXPECT_EQ(wide[c].minRtt, 540u + c / 4) << "column " << c;
    }
}

// A hop ignored for a while is sent no echo: its seconds stay empty, a gap and no loss, while a
// second with a lost echo reads as loss.
TEST(HopHistory, IgnoredGapIsEmptyAndLossIsLoss) {
    auto history = EmptyHistory();
    for (uint32_t second = 0; second < 60; second++) {
        if (second >= 20 && second < 30)
            continue; // ignored
        RecordEcho(*history, second, second != 45, 12);
    }
    SpanFigures columns[60];
    BinSpan(*history, GraphSpan::Minute, 59, columns, 60);
    for (int c = 0; c < 60; c++) {
        bool gap = c >= 20 && c < 30;
        EXPECT_EQ(columns[c].sent, gap ? 0u : 1u) << "column " << c;
        EXPECT_EQ(columns[c].answered, gap || c == 45 ? 0u : 1u) << "column " << c;
    }
    EXPECT_DOUBLE_EQ(SpanLossPercent(SumSpan(*history, GraphSpan::Minute, 59)), 100.0 / 50);
}

// A span longer than the trace so far shows the trace's start on the right of its empty past.
TEST(HopHistory, SpanBeforeTheTraceStartedIsEmpty) {
    auto history = EmptyHistory();
    RecordEcho(*history, 0, true, 3);
    SpanFigures columns[24];
    BinSpan(*history, GraphSpan::Day, 0, columns, 24);
    for (int c = 0; c < 23; c++)
        EXPECT_EQ(columns[c].sent, 0u) << "column " << c;
    EXPECT_EQ(columns[23].sent, 1u);
}

} // namespace
