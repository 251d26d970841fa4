// The trace's seconds on a tick count that wraps: a trace longer than 49.7 days.
#include "common/tick_count.h"
#include "graph/hop_history.h"
#include <gtest/gtest.h>
#include <memory>

namespace {

// A trace started shortly before GetTickCount wraps and running for 60 days, an echo counted each
// hour: the seconds keep growing across the wrap and past 2^32 ms, so that the last hour's echo
// still lands in the newest minute, where it did not when the seconds came from the 32-bit count.
TEST(TraceClock, SecondsCountOnAcrossTheTickCountsWrap) {
    auto history = std::unique_ptr<HopHistory>(new HopHistory());
    const uint32_t startTick = 0xFFFF0000u;
    uint64_t last = ExtendTickCount(0, startTick), start = last;
    uint32_t second = 0, before = 0;
    for (uint64_t hour = 1; hour <= 60 * 24; hour++) {
        uint32_t tick = static_cast<uint32_t>(startTick + hour * 3600000);
        last = ExtendTickCount(last, tick);
        second = static_cast<uint32_t>((last - start) / 1000);
        ASSERT_EQ(second, hour * 3600) << "hour " << hour;
        ASSERT_GT(second, before);
        before = second;
        RecordEcho(*history, second, true, 10);
    }
    EXPECT_EQ(SumSpan(*history, GraphSpan::Minute, second).sent, 1u);
    // A count read on another thread a moment before the last one is a moment earlier, not 49.7
    // days later.
    EXPECT_EQ(ExtendTickCount(last, static_cast<uint32_t>(last) - 5), last - 5);
    EXPECT_EQ(ExtendTickCount(0xFFFFFFF0u, 0x10u), 0x100000010u);
}

} // namespace
