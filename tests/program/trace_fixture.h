// A fixture for traces in the running program: the fake ICMP library answers the echoes,
// the lab's hosts file the names.
#pragma once
#include "app/app.h"
#include "app/resource.h"
#include "fake_icmp_control.h"
#include "harness/held_echoes.h"
#include "harness/list_view.h"
#include "harness/program.h"
#include "harness/timer_recorder.h"
#include "hoptable/hop_table.h"
#include "lab_topology.h"
#include "settings/settings.h"
#include "trace/trace.h"
#include <string>
#include <vector>

// The lab's route as the fake answers it: r1 ... r6 with "TTL expired", then the
// destination, each hop k after k milliseconds.
inline std::string LabRouteScenario(const char* extra = "") {
    std::string text = extra;
    const char* const hops[] = LAB_HOP_ADDRS;
    for (int k = 1; k < LAB_DEST_HOP; k++)
        text += std::string("echo ") + LAB_DEST_ADDR + " " + std::to_string(k) + " reply " +
                hops[k - 1] + " status ttl-expired rtt " + std::to_string(k) + "\n";
    text += std::string("echo ") + LAB_DEST_ADDR + " " + std::to_string(LAB_DEST_HOP) +
            "-255 reply dest rtt " + std::to_string(LAB_DEST_HOP) + "\n";
    return text;
}

class TraceTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(FakeIcmpLoaded()) << FakeIcmpProblem();
        Settings = kDefaultSettings;
        ClampSettings();
    }
    void TearDown() override {
        TearDownOverTheFakeIcmp([this] { ProgramTest::TearDown(); });
    }
    void UseScenario(const std::string& text) {
        std::string error;
        ASSERT_TRUE(FakeIcmpSetScenario(text.c_str(), &error)) << error;
    }
    void Start(const std::string& host) {
        TypeHost(host);
        StartTrace();
    }
    bool WaitForState(TraceState state, unsigned timeout = 10000) {
        return PumpUntil([&] { return CurrentTraceState == state; }, timeout);
    }
    // Waits until the ping cycle has asked for `count` echoes (with TTL 32) in all.
    bool WaitForCycleEchoes(size_t count, unsigned timeout = 10000) {
        return PumpUntil([&] { return CycleEchoes().size() >= count; }, timeout);
    }
    std::vector<FakeIcmpCall> Echoes() { return FakeIcmpCalls(FAKE_ICMP_ECHO); }
    std::vector<FakeIcmpCall> CycleEchoes() {
        std::vector<FakeIcmpCall> cycle;
        for (const FakeIcmpCall& c : Echoes())
            if (c.ttl == 32)
                cycle.push_back(c);
        return cycle;
    }
    std::vector<int> ProbeTtls() {
        std::vector<int> ttls;
        for (const FakeIcmpCall& c : Echoes())
            if (c.ttl != 32)
                ttls.push_back(c.ttl);
        return ttls;
    }
    std::string Row(int r) { return ListViewRow(HopTable, r); }
    int Rows() { return ListViewRowCount(HopTable); }
    // Runs discovery of the lab route with the first ping-cycle echo held, so that the rows
    // show what discovery found.
    void DiscoverLabRoute(const std::string& host = LAB_DEST_NAME) {
        UseScenario(LabRouteScenario("echo * 32 reply dest rtt 9 hold\n"));
        Start(host);
        ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1) << "the ping cycle never began";
    }
    // Pumps messages while waiting for a held echo, and then until the window shows every
    // answer before it and the hop whose echo is out: without pauses the echo worker sends the
    // next echo itself, and the window hears of the answers after it. (A row can show an answer
    // before the status bar does: a row is written from the figures of the moment, the status
    // bar from the hop out when the window last looked.)
    int FakeIcmpWaitForHeldWhilePumping(unsigned timeout = 10000) {
        PumpUntil([] { return FakeIcmpGetCounts().held > 0; }, timeout);
        PumpUntil([&] { return RowsShowEveryEcho() && StatusShowsTheEchoOut(); }, timeout);
        return FakeIcmpGetCounts().held;
    }
    // While the cycle runs, each hop's row shows the echoes counted for it (its Sent cell, when
    // that column is shown).
    bool RowsShowEveryEcho() {
        if (CurrentTraceState != TraceState::Pinging || !Columns[kColumnSent].Visible)
            return true;
        int sent = VisibleIndex(kColumnSent);
        for (int row = 0; row < HopCount && row < Rows(); row++) {
            CPinger* hop = HopList[row];
            if (hop && !hop->IsNoResponse() &&
                ListViewCell(HopTable, row, sent) != std::to_string(hop->GetSentCount()))
                return false;
        }
        return true;
    }
    // While the cycle runs, the status bar names the address of the last echo asked for.
    bool StatusShowsTheEchoOut() {
        std::vector<FakeIcmpCall> cycle = CycleEchoes();
        if (CurrentTraceState != TraceState::Pinging || cycle.empty())
            return true;
        in_addr out = {};
        out.s_addr = cycle.back().destination;
        return StatusText(1) == inet_ntoa(out);
    }
    const CaughtMessageBox* LastBox() {
        return messageBoxes.Count() ? &messageBoxes.Boxes().back() : nullptr;
    }
};
