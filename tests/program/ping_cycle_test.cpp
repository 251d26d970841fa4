// The ping cycle in the running program: one echo per hop in turn, the pauses between them,
// ignored hops, losses and the failures that end a trace.
#include "trace_fixture.h"
#include <algorithm>

namespace {

// Three hops: r1, r2 and the destination behind them.
std::string ThreeHopScenario(const char* cycle) {
    return std::string(cycle) + "echo 198.18.7.1 1 reply 198.18.1.1 status ttl-expired rtt 1\n"
                                "echo 198.18.7.1 2 reply 198.18.2.1 status ttl-expired rtt 2\n"
                                "echo 198.18.7.1 3 reply dest rtt 3\n";
}

class PingCycle : public TraceTest {
  protected:
    std::vector<UINT> Pauses() {
        std::vector<UINT> pauses;
        for (const RecordedTimer& t : timers.Timers()) {
            EXPECT_EQ(t.window, MainWindow);
            EXPECT_EQ(t.id, static_cast<UINT_PTR>(kPingTimerId));
            pauses.push_back(t.elapse);
        }
        return pauses;
    }
    std::vector<ULONG> CycleDestinations() {
        std::vector<ULONG> order;
        for (const FakeIcmpCall& c : CycleEchoes())
            order.push_back(c.destination);
        return order;
    }
    TimerRecorder timers;
};

const ULONG R1 = inet_addr(LAB_R1_ADDR), R2 = inet_addr(LAB_R2_ADDR),
            DEST = inet_addr(LAB_DEST_ADDR);

TEST_F(PingCycle, PausesFollowEachHopAndTheLongerOneEachPass) {
    Settings.PingDelay = 500;
    Settings.TraceDelay = 1000;
    UseScenario(ThreeHopScenario("echo * 32 reply dest rtt 2\n"));
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForCycleEchoes(4, 15000));
    EXPECT_EQ(CycleDestinations(), (std::vector<ULONG>{R1, R2, DEST, R1}));
    std::vector<UINT> pauses = Pauses();
    ASSERT_GE(pauses.size(), 3u);
    EXPECT_EQ(pauses[0], 500u);
    EXPECT_EQ(pauses[1], 500u);
    EXPECT_EQ(pauses[2], 1000u);
    // Each pause really passes before the next echo: not before, never "at most".
    const std::vector<RecordedTimer>& t = timers.Timers();
    EXPECT_GE(GetTickCount() - t[0].tick + 20, 2000u);
}

TEST_F(PingCycle, SingleHopTraceWaitsOnlyTheTraceDelay) {
    Settings.PingDelay = 700;
    Settings.TraceDelay = 100;
    UseScenario("echo 198.18.7.1 * reply dest rtt 1\n");
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForCycleEchoes(3, 15000));
    std::vector<UINT> pauses = Pauses();
    ASSERT_GE(pauses.size(), 2u);
    for (UINT pause : pauses)
        EXPECT_EQ(pause, 100u);
}

TEST_F(PingCycle, PausesOfZeroChainTheEchoesWithoutATimer) {
    UseScenario(ThreeHopScenario("echo * 32 reply dest rtt 2\n"));
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForCycleEchoes(9));
    for (const RecordedTimer& t : timers.Timers())
        EXPECT_NE(t.id, static_cast<UINT_PTR>(kPingTimerId)) << "a pause of " << t.elapse;
    std::vector<ULONG> order = CycleDestinations();
    for (size_t i = 0; i < 9; i++)
        EXPECT_EQ(order[i], (std::vector<ULONG>{R1, R2, DEST})[i % 3]) << "echo " << i;
}

TEST_F(PingCycle, EveryCycleEchoCarriesTtl32WhateverTraceTtlSays) {
    Settings.TraceTTL = 5;
    UseScenario(ThreeHopScenario("echo * 32 reply dest rtt 2\n"));
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForCycleEchoes(6));
    for (const FakeIcmpCall& c : Echoes())
        EXPECT_NE(c.ttl, 5);
    EXPECT_EQ(ProbeTtls(), (std::vector<int>{1, 2, 3}));
}

TEST_F(PingCycle, RepliesUpdateTheStatisticsCells) {
    UseScenario(ThreeHopScenario("echo 198.18.1.1 32 reply dest rtt 11 times 2\n"
                                 "echo * 32 reply dest rtt 2 hold\n"));
    Start(LAB_DEST_NAME);
    // r1 answers 11 ms twice; r2 is held on its first cycle echo.
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1);
    EXPECT_EQ(Row(0), "1|198.18.1.1|r1.routelark.test|2|2|11ms|6ms|1ms|11ms|0%");
    EXPECT_EQ(StatusText(0), "Hop 2");
    EXPECT_EQ(StatusText(1), "198.18.2.1");
    EXPECT_EQ(StatusText(2), "Pinging...");
}

TEST_F(PingCycle, TimeoutIsALossAndTheCycleGoesOn) {
    UseScenario(ThreeHopScenario("echo 198.18.2.1 32 timeout times 3\n"
                                 "echo * 32 reply dest rtt 2\n"));
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForCycleEchoes(12));
    PumpUntil([] { return HopList[1]->GetSentCount() >= 5; });
    // r2: its probe, three lost echoes, then answers.
    EXPECT_EQ(HopList[1]->GetReceivedCount(), HopList[1]->GetSentCount() - 3);
    EXPECT_EQ(CurrentTraceState == TraceState::Pinging || CurrentTraceState == TraceState::Waiting,
              true);
    EXPECT_EQ(messageBoxes.Count(), 0u);
}

TEST_F(PingCycle, LossShowsInTheRowAfterTimeouts) {
    UseScenario(ThreeHopScenario("echo 198.18.2.1 32 timeout times 2\n"
                                 "echo 198.18.7.1 32 reply dest rtt 2 hold\n"
                                 "echo * 32 reply dest rtt 2\n"));
    Start(LAB_DEST_NAME);
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1);
    // r2: probe answered, then one lost cycle echo: sent 2, received 1.
    EXPECT_EQ(ListViewCell(HopTable, 1, 3), "2");
    EXPECT_EQ(ListViewCell(HopTable, 1, 4), "1");
    EXPECT_EQ(ListViewCell(HopTable, 1, 9), "50%");
}

TEST_F(PingCycle, IgnoredHopIsPassedOverWithItsPause) {
    Settings.PingDelay = 50;
    UseScenario(ThreeHopScenario("echo 198.18.7.1 32 reply dest rtt 2 hold\n"
                                 "echo * 32 reply dest rtt 2\n"));
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForState(TraceState::Pinging));
    HopList[1]->SetIgnored(1); // as the hop's context menu does
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1);
    EXPECT_EQ(CycleDestinations(), (std::vector<ULONG>{R1, DEST}));
    EXPECT_EQ(Pauses(), (std::vector<UINT>{50, 50})) << "the ignored hop took its pause too";
    EXPECT_EQ(HopList[1]->GetSentCount(), 1);
    EXPECT_EQ(ListViewRowImage(HopTable, 1), kImageIgnored);
    EXPECT_EQ(ListViewCell(HopTable, 1, 3), "1") << "its statistics stand still";
}

TEST_F(PingCycle, ReenabledHopIsPingedFromItsNextTurn) {
    // The delay keeps the record short: without pauses the echo worker pings on by itself.
    UseScenario(ThreeHopScenario("echo * 32 reply dest rtt 2 delay 2\n"));
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForState(TraceState::Pinging));
    HopList[1]->SetIgnored(1);
    ASSERT_TRUE(WaitForCycleEchoes(4));
    HopList[1]->SetIgnored(0);
    size_t before = CycleEchoes().size();
    ASSERT_TRUE(WaitForCycleEchoes(before + 4));
    std::vector<ULONG> order = CycleDestinations();
    EXPECT_NE(std::find(order.begin() + before, order.end(), R2), order.end());
}

TEST_F(PingCycle, StatusBarStaysOnThePreviousHopWhileAnIgnoredOneIsPassed) {
    Settings.PingDelay = 60000;
    UseScenario(ThreeHopScenario("echo * 32 reply dest rtt 2\n"));
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForState(TraceState::Waiting)); // after hop 1
    HopList[1]->SetIgnored(1);
    SendMessageA(MainWindow, WM_TIMER, kPingTimerId, 0); // the pause ends: hop 2's turn
    ASSERT_TRUE(WaitForState(TraceState::Waiting));
    EXPECT_EQ(HopCursor, 2);
    EXPECT_EQ(StatusText(0), "Hop 1");
    EXPECT_EQ(StatusText(1), "198.18.1.1");
}

TEST_F(PingCycle, PassOverOnlyIgnoredHopsWaitsInsteadOfSpinning) {
    UseScenario("echo * 1 timeout\necho * 2 timeout\necho * 3 reply 198.18.3.1 status "
                "host-unreachable rtt 1\n");
    messageBoxes.QueueAnswer(IDYES); // ping the two placeholders found so far
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(PumpUntil([&] { return !timers.Timers().empty(); }));
    EXPECT_EQ(HopCount, 2);
    EXPECT_EQ(CycleEchoes().size(), 0u);
    EXPECT_GE(timers.Timers()[0].elapse, 500u) << "a pass without any echo must not loop at once";
    EXPECT_EQ(CurrentTraceState, TraceState::Waiting);
}

TEST_F(PingCycle, FailingStatusEndsTheTraceNamingTheHop) {
    UseScenario(
        ThreeHopScenario("echo 198.18.1.1 32 reply dest rtt 1 hold times 1\n"
                         "echo 198.18.2.1 32 reply 198.18.2.1 status host-unreachable rtt 1\n"
                         "echo * 32 reply dest rtt 2\n"));
    std::string shownHop, shownAddress; // the status bar while the box is up
    messageBoxes.whileShown = [&] {
        shownHop = StatusText(0);
        shownAddress = StatusText(1);
    };
    Start(LAB_DEST_NAME);
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1); // the cycle's first echo, to r1
    FakeIcmpReleaseHeld();
    // Without pauses the worker goes on to r2 by itself, which fails; the window looks after.
    for (int ms = 0; ms < 10000 && HopList[1]->GetSentCount() < 2; ms++)
        Sleep(1);
    ASSERT_TRUE(WaitForState(TraceState::Stopped));
    EXPECT_EQ(shownHop, "Hop 2");
    EXPECT_EQ(shownAddress, "198.18.2.1");
    ASSERT_EQ(messageBoxes.Count(), 1u);
    EXPECT_EQ(LastBox()->text, "Hop 2: Trace failed\nDestination host unreachable");
    EXPECT_EQ(LastBox()->caption, "Routelark");
    EXPECT_EQ(LastBox()->style, static_cast<UINT>(MB_TOPMOST | MB_ICONERROR | MB_OK));
    EXPECT_EQ(HopCursor, 1);
    EXPECT_EQ(Rows(), 3);
    EXPECT_EQ(HopCount, 3);
    EXPECT_EQ(ListViewCell(HopTable, 1, 3), "2") << "the failing echo's row was refreshed first";
    PumpFor(100);
    EXPECT_EQ(CycleDestinations(), (std::vector<ULONG>{R1, R2})) << "no echo after the failure";
}

// Without pauses the echo worker pings hop after hop by itself, and the window follows it: once
// it has caught up, every row and the status bar show what they would after each echo. The
// answers come all at once, or 4 ms apart over many display frames, which the window follows
// through its frame timer.
TEST_F(PingCycle, WindowFollowingTheWorkersEchoesShowsEveryOneOnItsRow) {
    const struct {
        const char* cycle; // ends in the held echo
        size_t echoes;     // cycle echoes sent, the held one among them
        const char* rows[3];
        const char* hop;
        const char* address;
    } cases[] = {
        {"echo 198.18.7.1 32 reply dest rtt 3 times 5\n"
         "echo 198.18.7.1 32 reply dest rtt 3 hold\n"
         "echo * 32 reply dest rtt 2\n",
         18,
         {"1|198.18.1.1|r1.routelark.test|7|7|2ms|1ms|1ms|2ms|0%",
          "2|198.18.2.1|r2.routelark.test|7|7|2ms|2ms|2ms|2ms|0%",
          "3|198.18.7.1|dest.routelark.test|6|6|3ms|3ms|3ms|3ms|0%"},
         "Hop 3",
         "198.18.7.1"},
        {"echo * 32 reply dest rtt 2 delay 4 times 30\n"
         "echo * 32 reply dest rtt 2 hold\n",
         31,
         {"1|198.18.1.1|r1.routelark.test|11|11|2ms|1ms|1ms|2ms|0%",
          "2|198.18.2.1|r2.routelark.test|11|11|2ms|2ms|2ms|2ms|0%",
          "3|198.18.7.1|dest.routelark.test|11|11|2ms|2ms|2ms|3ms|0%"},
         "Hop 1",
         "198.18.1.1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cycle);
        FakeIcmpReset();
        UseScenario(ThreeHopScenario(c.cycle));
        Start(LAB_DEST_NAME);
        ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1);
        EXPECT_EQ(CycleEchoes().size(), c.echoes);
        for (int row = 0; row < 3; row++)
            EXPECT_EQ(Row(row), c.rows[row]);
        EXPECT_EQ(StatusText(0), c.hop);
        EXPECT_EQ(StatusText(1), c.address);
        EXPECT_EQ(StatusText(2), "Pinging...");
        StopTrace();
        FakeIcmpReleaseHeld();
        ClearHops(); // waits for the released echo
    }
}

TEST_F(PingCycle, StartingAgainWhileTheWorkerPingsTracesAnew) {
    UseScenario(ThreeHopScenario("echo * 32 reply dest rtt 2 delay 1\n"));
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForCycleEchoes(30));
    Start(LAB_DEST_NAME); // clears the hops the worker is pinging
    ASSERT_TRUE(PumpUntil([] { return HopList[2] && HopList[2]->GetSentCount() >= 3; }));
    EXPECT_EQ(CurrentTraceState, TraceState::Pinging);
    EXPECT_EQ(Rows(), 3);
    EXPECT_EQ(messageBoxes.Count(), 0u);
}

TEST_F(PingCycle, IgnoringEveryHopWhileTheWorkerPingsEndsInTheQuietPause) {
    UseScenario(ThreeHopScenario("echo * 32 reply dest rtt 2 hold\n"));
    Start(LAB_DEST_NAME);
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1); // the cycle's echo to r1
    for (int hop = 0; hop < 3; hop++)
        HopList[hop]->SetIgnored(1);
    FakeIcmpReleaseHeld();
    ASSERT_TRUE(WaitForState(TraceState::Waiting));
    EXPECT_EQ(CycleEchoes().size(), 1u);
    EXPECT_EQ(Pauses(), (std::vector<UINT>{500})) << "a pass without an echo, then the pause";
    EXPECT_EQ(ListViewCell(HopTable, 0, 3), "2") << "r1's answer is shown";
}

TEST_F(PingCycle, StatusWithoutATextEndsTheTraceAsUnknownError) {
    UseScenario(ThreeHopScenario("echo 198.18.1.1 32 reply 198.18.1.1 status 11050 rtt 1\n"));
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForState(TraceState::Stopped));
    EXPECT_EQ(LastBox()->text, "Hop 1: Trace failed\nUnknown error");
}

TEST_F(PingCycle, TtlExpiredReplyCountsAsAnAnswer) {
    UseScenario(ThreeHopScenario("echo 198.18.7.1 32 reply 198.18.2.1 status ttl-expired rtt 3\n"
                                 "echo * 32 reply dest rtt 2\n"));
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForCycleEchoes(6));
    EXPECT_EQ(messageBoxes.Count(), 0u);
}

} // namespace
