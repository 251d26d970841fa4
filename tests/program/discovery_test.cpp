// Route discovery in the running program, with exact echo answers from the fake ICMP
// library and real lookups of the lab's names.
#include "trace_fixture.h"

namespace {

class Discovery : public TraceTest {};

TEST_F(Discovery, FindsTheWholeRouteWithNamesAndSeedsEachHop) {
    DiscoverLabRoute();
    EXPECT_EQ(WindowTitle(), "Routelark - dest.routelark.test (198.18.7.1)");
    ASSERT_EQ(HopCount, 7);
    ASSERT_EQ(Rows(), 7);
    // Each hop starts with its probe's sample: sent 1, received 1, all RTTs its probe's.
    EXPECT_EQ(Row(0), "1|198.18.1.1|r1.routelark.test|1|1|1ms|1ms|1ms|1ms|0%");
    EXPECT_EQ(Row(3), "4|198.18.4.1|r4.routelark.test|1|1|4ms|4ms|4ms|4ms|0%");
    EXPECT_EQ(Row(5),
              "6|198.18.6.1|r6.far-side-of-the-slow-link.routelark.test|1|1|6ms|6ms|6ms|6ms|0%");
    EXPECT_EQ(Row(6), "7|198.18.7.1|dest.routelark.test|1|1|7ms|7ms|7ms|7ms|0%");
    EXPECT_EQ(ProbeTtls(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(CurrentTraceState, TraceState::Pinging);
    for (int r = 0; r < 7; r++) {
        EXPECT_EQ(ListViewRowImage(HopTable, r), kImageActive);
        EXPECT_EQ(ListViewRowData(HopTable, r), r);
    }
    EXPECT_EQ(messageBoxes.Count(), 0u);
}

// routelark.exe HOST: the host in the box, and its trace under way as if Return had been pressed.
TEST_F(Discovery, AHostOnTheCommandLineIsTracedAtStart) {
    UseScenario(LabRouteScenario("echo * 32 reply dest rtt 9 hold\n"));
    TraceHostAtStart("http://" LAB_DEST_NAME "/status");
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1) << "the ping cycle never began";
    EXPECT_EQ(WindowTitle(), "Routelark - http://dest.routelark.test/status (dest.routelark.test - "
                             "198.18.7.1)");
    EXPECT_EQ(HopCount, 7);
    EXPECT_STREQ(TracedHostText, "http://" LAB_DEST_NAME "/status");
    EXPECT_EQ(messageBoxes.Count(), 0u);
}

TEST_F(Discovery, RunningTraceLocksTheHostBoxAndOffersStop) {
    DiscoverLabRoute();
    EXPECT_TRUE(GetWindowLongA(HostBoxEdit, GWL_STYLE) & ES_READONLY);
    EXPECT_FALSE(SendMessageA(ToolbarWindow, TB_ISBUTTONHIDDEN, IDM_STOP, 0));
    EXPECT_TRUE(SendMessageA(ToolbarWindow, TB_ISBUTTONHIDDEN, IDM_START, 0));
    EXPECT_TRUE(GetMenuState(GetMenu(MainWindow), IDM_START, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(SendMessageA(HostBox, CB_FINDSTRINGEXACT, -1, (LPARAM)LAB_DEST_NAME), 0)
        << "the host joined the history";
    StopTrace();
    EXPECT_FALSE(GetWindowLongA(HostBoxEdit, GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(SendMessageA(ToolbarWindow, TB_ISBUTTONHIDDEN, IDM_STOP, 0));
    EXPECT_EQ(StatusText(255), "Stopped");
    EXPECT_EQ(Rows(), 7) << "a stopped trace keeps its hops";
    EXPECT_EQ(HopCount, 7);
}

TEST_F(Discovery, DottedAddressWithoutReverseNameShowsTheAddressTwice) {
    UseScenario("echo 198.18.99.9 * reply dest rtt 3\necho * 32 timeout hold\n");
    Start("198.18.99.9");
    ASSERT_TRUE(WaitForState(TraceState::Pinging));
    EXPECT_EQ(WindowTitle(), "Routelark - 198.18.99.9 (198.18.99.9)");
    EXPECT_EQ(Row(0), "1|198.18.99.9|[Unknown]|1|1|3ms|3ms|3ms|3ms|0%");
}

TEST_F(Discovery, DottedAddressWithAReverseNameShowsTheNameAsWell) {
    UseScenario(LabRouteScenario("echo * 32 timeout hold\n"));
    Start(LAB_DEST_ADDR);
    ASSERT_TRUE(WaitForState(TraceState::Pinging));
    EXPECT_EQ(WindowTitle(), "Routelark - 198.18.7.1 (dest.routelark.test - 198.18.7.1)");
}

TEST_F(Discovery, OfficialNameDifferingOnlyInCaseGivesTheLongTitle) {
    DiscoverLabRoute("DEST.routelark.test");
    EXPECT_EQ(WindowTitle(), "Routelark - DEST.routelark.test (dest.routelark.test - 198.18.7.1)");
}

TEST_F(Discovery, WebAddressIsLookedUpByItsHostPartAndShownAsTyped) {
    DiscoverLabRoute("http://dest.routelark.test/status/page.html");
    EXPECT_EQ(WindowTitle(), "Routelark - http://dest.routelark.test/status/page.html "
                             "(dest.routelark.test - 198.18.7.1)");
    EXPECT_EQ(HopCount, 7);
}

TEST_F(Discovery, SecureWebAddressIsLookedUpByItsHostPartToo) {
    DiscoverLabRoute("HTTPS://dest.routelark.test/");
    EXPECT_EQ(WindowTitle(),
              "Routelark - HTTPS://dest.routelark.test/ (dest.routelark.test - 198.18.7.1)");
    EXPECT_EQ(messageBoxes.Count(), 0u);
}

TEST_F(Discovery, UnknownNameIsReportedWithTheTextAsCaption) {
    SetWindowTextA(MainWindow, "Routelark - previous");
    Start(LAB_UNKNOWN_NAME);
    ASSERT_TRUE(WaitForState(TraceState::Stopped));
    ASSERT_EQ(messageBoxes.Count(), 1u);
    EXPECT_EQ(LastBox()->text, "Unable to locate this hostname!");
    EXPECT_EQ(LastBox()->caption, LAB_UNKNOWN_NAME);
    EXPECT_EQ(LastBox()->style, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(LastBox()->owner, MainWindow);
    EXPECT_EQ(WindowTitle(), "Routelark - previous") << "the title stays";
    EXPECT_EQ(Echoes().size(), 0u);
}

// A web address with nothing left once its scheme and path are cut names no host; asked for
// an empty name, Windows Sockets would answer with this machine's own address.
TEST_F(Discovery, WebAddressWithoutAHostIsAnUnknownName) {
    const char* const texts[] = {
        "http://",         // the scheme alone
        "https://",        // the secure scheme alone
        "ftp:///pub/file", // a path without a host
        "/index.html",     // a path alone
    };
    for (const char* text : texts) {
        messageBoxes.Clear();
        Start(text);
        ASSERT_TRUE(WaitForState(TraceState::Stopped)) << text;
        ASSERT_EQ(messageBoxes.Count(), 1u) << text;
        EXPECT_EQ(LastBox()->text, "Unable to locate this hostname!") << text;
        EXPECT_EQ(LastBox()->caption, text);
    }
    EXPECT_EQ(Echoes().size(), 0u);
}

TEST_F(Discovery, LongHostTextAndNameAreCutInTheTitle) {
    // A long web address (cut to the box's 127 characters) with a long official name.
    std::string typed = "http://" LAB_R6_ALIAS "/" + std::string(110, 'p');
    UseScenario(std::string("echo ") + LAB_R6_ADDR +
                " * reply dest rtt 1\necho * 32 timeout hold\n");
    Start(typed);
    ASSERT_TRUE(WaitForState(TraceState::Pinging));
    std::string title = WindowTitle();
    EXPECT_EQ(title.size(), 191u);
    EXPECT_EQ(title.rfind("Routelark - http://r6.routelark.test/ppp", 0), 0u) << title;
}

TEST_F(Discovery, EmptyHostBoxStartsNothing) {
    Start("");
    EXPECT_EQ(CurrentTraceState, TraceState::Stopped);
    EXPECT_TRUE(SendMessageA(ToolbarWindow, TB_ISBUTTONHIDDEN, IDM_STOP, 0));
    EXPECT_EQ(StatusText(255), "Ready");
}

TEST_F(Discovery, IgnoreFirstStartsAtTtlTwoAndCountsRowsForMaxHops) {
    Settings.IgnoreFirst = 1;
    Settings.MaxHops = 2;
    UseScenario(
        LabRouteScenario("echo * 2 reply 198.18.2.1 status ttl-expired rtt 2 hold times 1\n"));
    Start(LAB_DEST_NAME);
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1);
    EXPECT_EQ(StatusText(0), "Hop 1") << "the status bar counts rows";
    FakeIcmpReleaseHeld();
    ASSERT_TRUE(WaitForState(TraceState::Stopped));
    EXPECT_EQ(ProbeTtls(), (std::vector<int>{2, 3}));
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Row(0), "2|198.18.2.1|r2.routelark.test|1|1|2ms|2ms|2ms|2ms|0%");
    EXPECT_EQ(ListViewCell(HopTable, 1, 0), "3");
    ASSERT_EQ(messageBoxes.Count(), 1u);
    EXPECT_EQ(LastBox()->text, "Maximum number of hops reached! (2)");
}

TEST_F(Discovery, SingleTimeoutWithOneRetryGivesAPlaceholder) {
    Settings.Retries = 1;
    UseScenario(LabRouteScenario("echo * 4 timeout\necho * 32 timeout hold\n"));
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForState(TraceState::Pinging));
    EXPECT_EQ(ProbeTtls(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(Row(3), "4|---|[No response]|---|---|---|---|---|---|---");
    EXPECT_EQ(ListViewRowImage(HopTable, 3), kImageIgnored);
    EXPECT_TRUE(HopList[3]->IsNoResponse());
    EXPECT_TRUE(HopList[3]->IsIgnored());
    EXPECT_EQ(HopList[3]->GetDestination(), 0u);
    EXPECT_EQ(Row(4), "5|198.18.5.1|r5.routelark.test|1|1|5ms|5ms|5ms|5ms|0%");
}

TEST_F(Discovery, ThreeRetriesProbeTheSameTtlThreeTimes) {
    Settings.Retries = 3;
    UseScenario(LabRouteScenario("echo * 5 reply 198.18.5.1 status ttl-expired rtt 5 hold times 1\n"
                                 "echo * 4 timeout\n"));
    Start(LAB_DEST_NAME);
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1);
    EXPECT_EQ(ProbeTtls(), (std::vector<int>{1, 2, 3, 4, 4, 4, 5}));
    EXPECT_EQ(StatusText(1), "Failed 3: Request timed out");
    EXPECT_EQ(StatusText(0), "Hop 5");
    EXPECT_EQ(Row(3), "4|---|[No response]|---|---|---|---|---|---|---");
    EXPECT_EQ(AttemptCount, 0);
}

TEST_F(Discovery, TimeoutThenAnswerAtTheSameHopNeedsNoPlaceholder) {
    Settings.Retries = 3;
    UseScenario(LabRouteScenario("echo * 2 timeout times 2\necho * 32 timeout hold\n"));
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForState(TraceState::Pinging));
    EXPECT_EQ(ProbeTtls(), (std::vector<int>{1, 2, 2, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(Rows(), 7);
    EXPECT_EQ(Row(1), "2|198.18.2.1|r2.routelark.test|1|1|2ms|2ms|2ms|2ms|0%");
}

TEST_F(Discovery, OtherFailureAnsweredNoStopsWithTheHopsFound) {
    UseScenario(LabRouteScenario("echo * 3 reply 198.18.2.1 status host-unreachable rtt 3\n"));
    messageBoxes.QueueAnswer(IDNO);
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForState(TraceState::Stopped));
    ASSERT_EQ(messageBoxes.Count(), 1u);
    EXPECT_EQ(LastBox()->text,
              "Hop 3\nTrace failed\nDestination host unreachable\n\nRun trace up to this hop?");
    EXPECT_EQ(LastBox()->caption, "Routelark");
    EXPECT_EQ(LastBox()->style, static_cast<UINT>(MB_TOPMOST | MB_ICONERROR | MB_YESNO));
    EXPECT_EQ(StatusText(255), "Stopped");
    EXPECT_EQ(HopCount, 2);
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(CycleEchoes().size(), 0u);
}

TEST_F(Discovery, OtherFailureAnsweredYesPingsTheHopsFound) {
    UseScenario(LabRouteScenario("echo * 32 timeout hold\n"
                                 "echo * 3 reply 198.18.2.1 status host-unreachable rtt 3\n"));
    messageBoxes.QueueAnswer(IDYES);
    Start(LAB_DEST_NAME);
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1);
    EXPECT_EQ(CurrentTraceState, TraceState::Pinging);
    EXPECT_EQ(HopCount, 2) << "the failing hop is not added";
    EXPECT_EQ(HopCursor, 0);
    EXPECT_EQ(CycleEchoes()[0].destination, inet_addr(LAB_R1_ADDR));
}

TEST_F(Discovery, YesWhenTheFirstHopFailedStopsForWantOfHops) {
    UseScenario("echo * 1 reply 198.18.1.1 status net-unreachable rtt 1\n");
    messageBoxes.QueueAnswer(IDYES);
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForState(TraceState::Stopped));
    EXPECT_EQ(messageBoxes.Count(), 1u);
    EXPECT_EQ(HopCount, 0);
    EXPECT_EQ(CycleEchoes().size(), 0u);
    EXPECT_EQ(StatusText(255), "Stopped");
}

TEST_F(Discovery, MaxHopsZeroStopsBeforeAnyEcho) {
    Settings.MaxHops = 0;
    UseScenario(LabRouteScenario());
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForState(TraceState::Stopped));
    ASSERT_EQ(messageBoxes.Count(), 1u);
    EXPECT_EQ(LastBox()->text, "Maximum number of hops reached! (0)");
    EXPECT_EQ(LastBox()->style, static_cast<UINT>(MB_TOPMOST | MB_ICONEXCLAMATION | MB_OK));
    EXPECT_EQ(Echoes().size(), 0u);
}

TEST_F(Discovery, MaxHopsReachedKeepsTheHopsAndStartsNoCycle) {
    Settings.MaxHops = 3;
    UseScenario(LabRouteScenario());
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForState(TraceState::Stopped));
    EXPECT_EQ(LastBox()->text, "Maximum number of hops reached! (3)");
    EXPECT_EQ(HopCount, 3);
    EXPECT_EQ(Rows(), 3);
    EXPECT_EQ(ProbeTtls(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(CycleEchoes().size(), 0u);
}

TEST_F(Discovery, MaxHopsLoweredBelowTheHopsFoundStillEndsDiscovery) {
    Settings.MaxHops = 10;
    UseScenario(LabRouteScenario("echo * 4 reply 198.18.4.1 status ttl-expired rtt 4 hold\n"));
    Start(LAB_DEST_NAME);
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1);
    Settings.MaxHops = 2; // as Setup may do during a trace
    FakeIcmpReleaseHeld();
    ASSERT_TRUE(WaitForState(TraceState::Stopped));
    EXPECT_EQ(LastBox()->text, "Maximum number of hops reached! (2)");
    EXPECT_EQ(HopCount, 4);
    EXPECT_EQ(ProbeTtls(), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(Discovery, FortyHopsFillTheHopListAndEndIt) {
    Settings.MaxHops = 40;
    UseScenario("echo 198.18.7.1 * reply 198.18.9.9 status ttl-expired rtt 1\n");
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForState(TraceState::Stopped, 30000));
    EXPECT_EQ(HopCount, 40);
    EXPECT_EQ(Rows(), 40);
    EXPECT_EQ(LastBox()->text, "Maximum number of hops reached! (40)");
}

TEST_F(Discovery, DestinationAnsweringFromAnotherAddressIsProbedFurther) {
    UseScenario("echo 198.18.7.1 1 reply 198.18.1.1 status ttl-expired rtt 1\n"
                "echo 198.18.7.1 2 reply 198.18.7.9 status success rtt 2\n"
                "echo 198.18.7.1 3 reply dest rtt 3\n"
                "echo * 32 timeout hold\n");
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForState(TraceState::Pinging));
    EXPECT_EQ(ProbeTtls(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(HopCount, 3);
    EXPECT_EQ(ListViewCell(HopTable, 1, 1), "198.18.7.9");
}

TEST_F(Discovery, HiddenHostNameColumnGivesUnknownEvenAfterShowingIt) {
    SendMessageA(MainWindow, WM_COMMAND, IDM_COLUMN_FIRST + kColumnHostName, 0);
    DiscoverLabRoute();
    EXPECT_STREQ(HopList[0]->GetHostText(), "[Unknown]");
    EXPECT_EQ(Row(0), "1|198.18.1.1|1|1|1ms|1ms|1ms|1ms|0%");
    SendMessageA(MainWindow, WM_COMMAND, IDM_COLUMN_FIRST + kColumnHostName, 0);
    EXPECT_EQ(Row(0), "1|198.18.1.1|[Unknown]|1|1|1ms|1ms|1ms|1ms|0%");
}

TEST_F(Discovery, ProbePingerThatCannotOpenStopsTheTrace) {
    UseScenario(LabRouteScenario("create fail times 1\n"));
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForState(TraceState::Stopped));
    ASSERT_EQ(messageBoxes.Count(), 2u);
    EXPECT_EQ(messageBoxes.Boxes()[0].text, "Unable to open PING service!");
    EXPECT_EQ(messageBoxes.Boxes()[1].text, "Unable to create Pinger object!");
    EXPECT_EQ(messageBoxes.Boxes()[1].caption, LAB_DEST_NAME);
    EXPECT_EQ(messageBoxes.Boxes()[1].style, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(Echoes().size(), 0u);
    EXPECT_EQ(Rows(), 0) << "the table was emptied when the destination was accepted";
}

TEST_F(Discovery, HopPingerThatCannotOpenStopsWithTheHopsBeforeIt) {
    UseScenario(LabRouteScenario("echo * 3 reply 198.18.3.1 status ttl-expired rtt 3 hold\n"));
    Start(LAB_DEST_NAME);
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1);
    UseScenario("create fail\n" + LabRouteScenario()); // the answering hop's open will fail
    FakeIcmpReleaseHeld();
    ASSERT_TRUE(WaitForState(TraceState::Stopped));
    ASSERT_EQ(messageBoxes.Count(), 2u);
    EXPECT_EQ(messageBoxes.Boxes()[0].text, "Unable to open PING service!");
    EXPECT_EQ(messageBoxes.Boxes()[1].text, "Unable to create Pinger object!");
    EXPECT_EQ(messageBoxes.Boxes()[1].caption, LAB_R3_ADDR);
    EXPECT_EQ(HopCount, 2);
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(HopList[2], nullptr);
}

} // namespace
