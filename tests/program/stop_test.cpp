// Stop in every state of a trace, and the stale completions that may follow it.
#include "app/event_routing.h"
#include "harness/import_patch.h"
#include "trace_fixture.h"
#include <thread>

namespace {

// The program's clock (GetTickCount) runs a minute ahead while this lives.
class ClockAMinuteAhead {
  public:
    ClockAMinuteAhead() {
        real = PatchImport("kernel32.dll", "GetTickCount", reinterpret_cast<void*>(Ahead));
    }
    ~ClockAMinuteAhead() { PatchImport("kernel32.dll", "GetTickCount", real); }

  private:
    static DWORD WINAPI Ahead() { return reinterpret_cast<DWORD(WINAPI*)()>(real)() + 61000; }
    static void* real;
};
void* ClockAMinuteAhead::real;

class StopTrace_ : public TraceTest {};

TEST_F(StopTrace_, DuringTheLookupAbandonsItAndItsLateAnswerIsDropped) {
    UseScenario(LabRouteScenario());
    Start(LAB_SLOW_NAME);
    ASSERT_EQ(CurrentTraceState, TraceState::Resolving);
    ASSERT_NE(PendingLookup, nullptr);
    StopTrace();
    EXPECT_EQ(PendingLookup, nullptr);
    PumpFor(LAB_SLOW_LOOKUP_MS + 500); // the abandoned lookup still completes
    EXPECT_EQ(CurrentTraceState, TraceState::Stopped);
    EXPECT_EQ(Echoes().size(), 0u);
    EXPECT_EQ(messageBoxes.Count(), 0u);
    EXPECT_EQ(WindowTitle(), "Routelark");
}

// The stopped trace's lookup answers while the next trace's own lookup is under way, and
// after a minute has passed: still its answer must neither be taken for the next trace's nor
// land in the area the next lookup writes.
TEST_F(StopTrace_, LookupAnsweringLateAfterStopIsNeverTheNextTracesAnswer) {
    UseScenario(LabRouteScenario("echo * 32 timeout hold\n"));
    Start("first." LAB_SLOW_ZONE);
    StopTrace();
    PumpFor(500); // the first answer is due well before the second
    ClockAMinuteAhead later;
    Start("second." LAB_SLOW_ZONE);
    ASSERT_TRUE(WaitForState(TraceState::Pinging));
    EXPECT_EQ(WindowTitle(), "Routelark - second." LAB_SLOW_ZONE " (198.18.7.1)");
}

TEST_F(StopTrace_, DuringAProbeDropsItsLateCompletion) {
    UseScenario(LabRouteScenario("echo * 2 reply 198.18.2.1 status ttl-expired rtt 2 hold\n"));
    Start(LAB_DEST_NAME);
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1);
    ASSERT_EQ(CurrentTraceState, TraceState::Probing);
    StopTrace();
    FakeIcmpReleaseHeld();
    ASSERT_TRUE(PumpUntil([] { return ProbePinger->GetSentCount() == 2; }));
    PumpFor(100);
    EXPECT_EQ(HopCount, 1);
    EXPECT_EQ(Rows(), 1) << "no row for the late answer";
    EXPECT_EQ(CurrentTraceState, TraceState::Stopped);
}

TEST_F(StopTrace_, DuringAHopNameThenStartDestroysTheUncountedHop) {
    UseScenario(LabRouteScenario());
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForState(TraceState::NamingHop));
    ASSERT_EQ(HopCount, 0);
    ASSERT_NE(HopList[0], nullptr) << "the hop waits at the cursor for its name";
    StopTrace();
    PumpFor(200);
    EXPECT_EQ(HopCount, 0) << "its name arrived after Stop and was dropped";
    EXPECT_EQ(FakeIcmpOpenHandles(), 2) << "the ProbePinger and the uncounted hop";
    Start(LAB_SLOW_NAME);
    EXPECT_EQ(HopList[0], nullptr);
    EXPECT_EQ(FakeIcmpOpenHandles(), 0) << "ClearHops closed every pinger";
    StopTrace();
}

// The echo out at Stop is counted when it completes, and its row then shows what Copy would.
TEST_F(StopTrace_, WhilePingingTheEchoOutShowsOnItsRowOnceItCompletes) {
    DiscoverLabRoute();
    ASSERT_EQ(CurrentTraceState, TraceState::Pinging);
    StopTrace();
    FakeIcmpReleaseHeld();
    ASSERT_TRUE(PumpUntil([] { return HopList[0]->GetSentCount() == 2; }));
    PumpFor(100);
    EXPECT_EQ(ListViewCell(HopTable, 0, kColumnSent), "2");
    for (int column = 0; column < kColumnTotal; column++)
        EXPECT_EQ(ListViewCell(HopTable, 0, column), GetCellText(0, column)) << "column " << column;
    EXPECT_EQ(CycleEchoes().size(), 1u) << "no echo after Stop";
    EXPECT_EQ(CurrentTraceState, TraceState::Stopped);
}

TEST_F(StopTrace_, DuringAPauseSendsNoFurtherEcho) {
    Settings.PingDelay = 60000;
    UseScenario(LabRouteScenario());
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForState(TraceState::Waiting));
    StopTrace();
    EXPECT_FALSE(KillTimer(MainWindow, kPingTimerId)) << "Stop killed the pause";
    SendMessageA(MainWindow, WM_TIMER, kPingTimerId, 0); // a tick that was already on its way
    PumpFor(100);
    EXPECT_EQ(CycleEchoes().size(), 1u);
}

TEST_F(StopTrace_, StaleTickDuringTheNextDiscoveryPingsNothing) {
    Settings.PingDelay = 60000;
    UseScenario(LabRouteScenario());
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForState(TraceState::Waiting));
    StopTrace();
    UseScenario(
        LabRouteScenario("echo * 3 reply 198.18.3.1 status ttl-expired rtt 3 hold times 1\n"));
    Start(LAB_DEST_NAME);
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1);
    size_t echoes = Echoes().size();
    SendMessageA(MainWindow, WM_TIMER, kPingTimerId, 0);
    EXPECT_EQ(Echoes().size(), echoes) << "a tick of the last trace started an echo";
    EXPECT_EQ(CurrentTraceState, TraceState::Probing);
    FakeIcmpReleaseHeld();
    ASSERT_TRUE(WaitForState(TraceState::Waiting));
    EXPECT_EQ(HopCount, 7);
}

TEST_F(StopTrace_, WhenAlreadyStoppedChangesNothing) {
    StopTrace();
    StopTrace();
    EXPECT_EQ(CurrentTraceState, TraceState::Stopped);
    EXPECT_EQ(StatusText(255), "Stopped");
}

TEST_F(StopTrace_, EscapeDuringDiscoveryStopsIt) {
    UseScenario(LabRouteScenario("echo * 2 reply 198.18.2.1 status ttl-expired rtt 2 hold\n"));
    Start(LAB_DEST_NAME);
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1);
    SendMessageA(MainWindow, WM_COMMAND, IDM_STOP, 0);
    EXPECT_EQ(CurrentTraceState, TraceState::Stopped);
    EXPECT_EQ(ActiveHandlers(), IdleHandlers);
}

TEST_F(StopTrace_, ShutdownDuringAnEchoWaitsForItAndEndsCleanly) {
    UseScenario(LabRouteScenario("echo * 2 reply 198.18.2.1 status ttl-expired rtt 2 hold\n"));
    Start(LAB_DEST_NAME);
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1);
    std::thread release([] {
        Sleep(200);
        FakeIcmpReleaseHeld();
    });
    EXPECT_TRUE(ShutDown());
    release.join();
    EXPECT_EQ(FakeIcmpOpenHandles(), 0);
}

} // namespace
