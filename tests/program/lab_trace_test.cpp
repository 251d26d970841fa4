// Traces through the lab's real network with Wine's own ICMP library: the route as a user
// sees it, the silent router, the slow link and an unrouted network.
#include "trace_fixture.h"

namespace {

class InTheLab : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_NE(getenv(LAB_PREFIX_ENV), nullptr) << "run inside the lab (tools/test.sh)";
        ASSERT_FALSE(FakeIcmpLoaded()) << "these tests use the system's ICMP library";
        Settings = kDefaultSettings;
        ClampSettings();
    }
    bool WaitForState(TraceState state, unsigned timeout = 20000) {
        return PumpUntil([&] { return CurrentTraceState == state; }, timeout);
    }
};

const char* const kHopAddrs[] = LAB_HOP_ADDRS;
const char* const kHopNames[] = LAB_HOP_NAMES;

TEST_F(InTheLab, DiscoversTheRouteWithNamesAndASilentHop) {
    Settings.PingTimeout = 300; // the silent router costs one timeout
    TypeHost(LAB_DEST_NAME);
    StartTrace();
    ASSERT_TRUE(PumpUntil(
        [] {
            return CurrentTraceState == TraceState::Pinging ||
                   CurrentTraceState == TraceState::Waiting;
        },
        20000))
        << "state " << static_cast<int>(CurrentTraceState);
    ASSERT_EQ(HopCount, LAB_DEST_HOP);
    EXPECT_EQ(WindowTitle(), "Routelark - " LAB_DEST_NAME " (" LAB_DEST_ADDR ")");
    for (int hop = 1; hop <= LAB_DEST_HOP; hop++) {
        SCOPED_TRACE("hop " + std::to_string(hop));
        if (hop == LAB_SILENT_HOP) {
            EXPECT_TRUE(HopList[hop - 1]->IsNoResponse());
            EXPECT_EQ(ListViewCell(HopTable, hop - 1, 2), "[No response]");
            EXPECT_EQ(ListViewCell(HopTable, hop - 1, 1), "---");
            continue;
        }
        EXPECT_EQ(ListViewCell(HopTable, hop - 1, 0), std::to_string(hop));
        EXPECT_EQ(ListViewCell(HopTable, hop - 1, 1), kHopAddrs[hop - 1]);
        EXPECT_EQ(ListViewCell(HopTable, hop - 1, 2), kHopNames[hop - 1]);
    }
    // Hops behind the slow link answer at least its delay (both ways) later.
    EXPECT_GE(HopList[LAB_SLOW_HOP - 1]->GetMinRtt() + 5, 2u * LAB_DELAY_MS);
    EXPECT_GE(HopList[LAB_DEST_HOP - 1]->GetMinRtt() + 5, 2u * LAB_DELAY_MS);
    RecordProperty("dest_rtt_ms", static_cast<int>(HopList[LAB_DEST_HOP - 1]->GetLastRtt()));
}

TEST_F(InTheLab, PingCycleKeepsHealthyHopsLossFree) {
    TypeHost(LAB_DEST_ADDR);
    Settings.PingTimeout = 300;
    StartTrace();
    ASSERT_TRUE(PumpUntil(
        [] { return HopCount == LAB_DEST_HOP && HopList[0]->GetSentCount() >= 4; }, 30000));
    StopTrace();
    for (int hop = 1; hop <= LAB_DEST_HOP; hop++) {
        if (hop == LAB_SILENT_HOP)
            continue;
        CPinger* p = HopList[hop - 1];
        EXPECT_EQ(p->GetReceivedCount(), p->GetSentCount()) << "hop " << hop;
        EXPECT_EQ(ListViewCell(HopTable, hop - 1, 9), "0%") << "hop " << hop;
    }
    EXPECT_EQ(messageBoxes.Count(), 0u);
}

TEST_F(InTheLab, UnroutedNetworkAsksWhetherToPingTheHopsFound) {
    messageBoxes.QueueAnswer(IDYES);
    TypeHost(LAB_UNROUTED_ADDR);
    StartTrace();
    ASSERT_TRUE(PumpUntil([&] { return messageBoxes.Count() > 0; }, 20000));
    EXPECT_EQ(messageBoxes.Boxes()[0].text, "Hop " + std::to_string(LAB_UNROUTED_HOP) +
                                                "\nTrace failed\nDestination net unreachable\n\n"
                                                "Run trace up to this hop?");
    ASSERT_TRUE(PumpUntil([] { return HopList[0] && HopList[0]->GetSentCount() >= 2; }, 10000));
    EXPECT_EQ(HopCount, LAB_UNROUTED_HOP - 1);
    EXPECT_NE(CurrentTraceState, TraceState::Stopped);
}

} // namespace
