// Host lookups: one completion per lookup, also when it cannot be started.
#include "trace_fixture.h"
#include "harness/recording_window.h"

namespace {

const UINT kLookupDone = WM_USER + 7;

class Lookups : public TraceTest {
  protected:
    bool WaitForMessages(const RecordingWindow& window, size_t count, unsigned timeout = 10000) {
        return PumpUntil([&] { return window.Messages().size() >= count; }, timeout);
    }
    // The main window gives a lookup's area back when its completion arrives; a test's own
    // window does it here, or the areas would stay lent to the next test in this process.
    // Claims each completion after the first `from`; returns how many the window has had.
    size_t ClaimCompletions(const RecordingWindow& window, size_t from = 0) {
        for (; from < window.Messages().size(); from++)
            ClaimLookupCompletion(window.Messages()[from].wParam);
        return from;
    }
};

TEST_F(Lookups, ReverseLookupOfADottedAddressCompletesOnce) {
    RecordingWindow window;
    LookupHost(window.Handle(), kLookupDone, LAB_R2_ADDR);
    EXPECT_EQ(StatusText(2), "Looking up hostname");
    ASSERT_TRUE(WaitForMessages(window, 1));
    PumpFor(300);
    ASSERT_EQ(window.Messages().size(), 1u);
    EXPECT_EQ(HIWORD(window.Messages()[0].lParam), 0);
    EXPECT_STREQ(LookupAnswer()->h_name, LAB_R2_NAME);
    ClaimCompletions(window);
}

TEST_F(Lookups, ForwardLookupCutsTheUrlAndCompletesOnce) {
    RecordingWindow window;
    LookupHost(window.Handle(), kLookupDone, "ftp://" LAB_R6_ALIAS "\\pub\\files");
    ASSERT_TRUE(WaitForMessages(window, 1));
    PumpFor(300);
    ASSERT_EQ(window.Messages().size(), 1u);
    EXPECT_EQ(HIWORD(window.Messages()[0].lParam), 0);
    EXPECT_STREQ(LookupAnswer()->h_name, LAB_R6_NAME);
    ClaimCompletions(window);
}

TEST_F(Lookups, FailedLookupCompletesOnceWithItsError) {
    RecordingWindow window;
    LookupHost(window.Handle(), kLookupDone, LAB_UNKNOWN_NAME);
    ASSERT_TRUE(WaitForMessages(window, 1));
    PumpFor(300);
    ASSERT_EQ(window.Messages().size(), 1u);
    EXPECT_NE(HIWORD(window.Messages()[0].lParam), 0);
    ClaimCompletions(window);
}

// Every result area is taken by an abandoned lookup, and one more lookup waits for an area:
// a lookup after that cannot be started, and still completes once, with the error in the
// high word.
TEST_F(Lookups, LookupThatCannotBeStartedStillCompletesOnce) {
    RecordingWindow stale;
    for (int i = 0; i < 8; i++) {
        LookupHost(stale.Handle(), kLookupDone, LAB_SLOW_NAME);
        AbandonPendingLookup();
    }
    LookupHost(stale.Handle(), kLookupDone, LAB_DEST_NAME); // waits for an area
    RecordingWindow window;
    LookupHost(window.Handle(), kLookupDone, LAB_DEST_NAME);
    EXPECT_EQ(PendingLookup, nullptr);
    EXPECT_TRUE(MessageQueued(kLookupDone, kLookupDone)) << "posted at once";
    ASSERT_TRUE(WaitForMessages(window, 1));
    EXPECT_EQ(window.Messages()[0].wParam, 0u);
    EXPECT_EQ(HIWORD(window.Messages()[0].lParam), WSAENOBUFS);
    EXPECT_EQ(LOWORD(window.Messages()[0].lParam), 0);
    // 8 abandoned lookups, then the one that waited for an area, which starts once the first
    // area is given back.
    size_t claimed = 0;
    EXPECT_TRUE(PumpUntil([&] { return (claimed = ClaimCompletions(stale, claimed)) >= 9; }, 10000))
        << claimed << " completions claimed";
}

// Start and Stop faster than the lookups answer, until every result area is taken by a
// stopped trace's lookup: the next trace's lookup waits for the first area given back, and
// the trace then runs on its own answer.
TEST_F(Lookups, TraceFindingEveryAreaTakenWaitsForOne) {
    for (int i = 0; i < 8; i++) {
        Start(LAB_SLOW_NAME);
        StopTrace();
    }
    UseScenario(LabRouteScenario("echo * 32 timeout hold\n"));
    Start(LAB_DEST_NAME);
    EXPECT_EQ(StatusText(2), "Looking up hostname");
    ASSERT_TRUE(WaitForState(TraceState::Pinging));
    EXPECT_EQ(messageBoxes.Count(), 0u);
    EXPECT_EQ(WindowTitle(), "Routelark - " LAB_DEST_NAME " (198.18.7.1)");
}

} // namespace
