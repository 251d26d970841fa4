// A hop's row written while the worker completes that hop's next echo waits for the
// completion, so that Sent and Recv never show one echo's count without the other's.
#include "harness/held_completion.h"
#include "trace_fixture.h"

namespace {

class RowRefresh : public TraceTest {};

TEST_F(RowRefresh, RowWrittenDuringItsHopsCompletionShowsOneMomentsFigures) {
    UseScenario(
        "echo 198.18.7.1 1-31 reply dest rtt 5\necho 198.18.7.1 32 reply dest rtt 5 hold\n");
    Start(LAB_DEST_NAME);
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1);
    HeldCompletion held;
    FakeIcmpReleaseHeld();
    ASSERT_TRUE(held.WaitUntilHeld()); // the worker is about to count the echo sent, then received
    {
        DelayedLetGo letGo;
        WriteHopRow(HopList[0], 0, 3, ColumnCount);
        EXPECT_TRUE(letGo.released) << "the row was written while the echo was being counted";
    }
    EXPECT_EQ(Row(0), "1|198.18.7.1|dest.routelark.test|2|2|5ms|5ms|5ms|5ms|0%");
}

} // namespace
