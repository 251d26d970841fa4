// The route check beside the ping cycle, with the fake ICMP library: which TTLs it sends, with
// which handle and timeout, the route change it finds while the worker runs the cycle in rounds,
// the name looked up for the new hop, and nothing sent once the trace stops.
#include "echo/echo_service.h"
#include "events/route_book.h"
#include "events/trace_events.h"
#include "trace_fixture.h"
#include <set>

namespace {

class RouteCheck : public TraceTest {
  protected:
    // What the hop table's custom draw answers at stage for row, through the main window as the
    // list view asks it; the text colour it sets, if any.
    static LRESULT CustomDraw(DWORD stage, int row, COLORREF* text = nullptr) {
        NMLVCUSTOMDRAW draw = {};
        draw.nmcd.hdr.hwndFrom = HopTable;
        draw.nmcd.hdr.code = NM_CUSTOMDRAW;
        draw.nmcd.dwDrawStage = stage;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
        draw.clrText = CLR_DEFAULT;
        LRESULT answer = SendMessageA(MainWindow, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw));
        if (text)
            *text = draw.clrText;
        return answer;
    }
    static std::vector<TraceEvent> RouteChanges() {
        std::vector<TraceEvent> changes;
        LockEchoStatistics();
        for (int i = 0; i < TraceEventCount(); i++)
            if (TraceEventAt(i).Kind == TraceEventKind::RouteChange)
                changes.push_back(TraceEventAt(i));
        UnlockEchoStatistics();
        return changes;
    }
    // The check's echoes: those of a TTL below the cycle's made after discovery's last probe.
    std::vector<FakeIcmpCall> CheckEchoes() {
        std::vector<FakeIcmpCall> check;
        bool cycling = false;
        for (const FakeIcmpCall& c : Echoes()) {
            cycling = cycling || c.ttl == 32;
            if (cycling && c.ttl != 32)
                check.push_back(c);
        }
        return check;
    }
};

TEST_F(RouteCheck, FindsAChangeBetweenTheRoundsEchoesAndNamesTheNewHop) {
    // r1 answers the discovery's probe; every later echo of TTL 1 is answered by another router.
    // Nothing answers TTL 2 (a placeholder), and the destination answers from TTL 3 on.
    UseScenario(std::string("echo * 32 reply dest rtt 1\n") + "echo " LAB_DEST_ADDR
                " 1 reply " LAB_R1_ADDR " status ttl-expired rtt 1 times 1\n"
                "echo " LAB_DEST_ADDR " 1 reply " LAB_ALT_ADDR " status ttl-expired rtt 1\n"
                "echo " LAB_DEST_ADDR " 2 timeout\n"
                "echo " LAB_DEST_ADDR " 3-31 reply dest rtt 3\n");
    Start(LAB_DEST_ADDR); // both pauses 0: the worker runs the cycle in rounds
    ASSERT_TRUE(WaitForState(TraceState::Pinging));
    ASSERT_EQ(HopCount, 3);
    ASSERT_TRUE(PumpUntil([] { return !RouteChanges().empty(); }, 10000));
    ASSERT_TRUE(PumpUntil([] { return RouteChanges()[0].NewName[0] != '\0'; }, 10000));
    StopTrace();
    size_t sentAtStop = CheckEchoes().size();

    std::vector<TraceEvent> changes = RouteChanges();
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].Hop, 0);
    in_addr oldAddress = {}, newAddress = {};
    oldAddress.s_addr = changes[0].OldAddress;
    EXPECT_STREQ(inet_ntoa(oldAddress), LAB_R1_ADDR);
    newAddress.s_addr = changes[0].NewAddress;
    EXPECT_STREQ(inet_ntoa(newAddress), LAB_ALT_ADDR);
    EXPECT_STREQ(changes[0].OldName, LAB_R1_NAME);
    EXPECT_STREQ(changes[0].NewName, LAB_ALT_NAME);
    EXPECT_EQ(ListViewCell(HopTable, 0, 1), LAB_R1_ADDR); // the row pings the hop it found
    LockEchoStatistics();
    ASSERT_EQ(RouteAddressCount(0), 1); // the discovery's answer is not the check's
    EXPECT_EQ(RouteAddressAt(0, 0).Count, 2u);
    EXPECT_TRUE(RouteRowChanged(0));
    EXPECT_FALSE(RouteRowChanged(2));
    UnlockEchoStatistics();

    // Its own handle, never a hop's; the placeholder's TTL skipped; a short timeout (the rows
    // answered within milliseconds, so the shortest).
    std::set<HANDLE> hopHandles;
    for (const FakeIcmpCall& c : CycleEchoes())
        hopHandles.insert(c.handle);
    std::vector<FakeIcmpCall> check = CheckEchoes();
    ASSERT_GE(check.size(), 3u);
    for (const FakeIcmpCall& c : check) {
        EXPECT_TRUE(c.ttl == 1 || c.ttl == 3) << "TTL " << c.ttl;
        EXPECT_EQ(hopHandles.count(c.handle), 0u);
        EXPECT_EQ(c.handle, check[0].handle);
        EXPECT_EQ(c.timeout, 200u);
        EXPECT_EQ(c.destination, inet_addr(LAB_DEST_ADDR));
    }
    EXPECT_EQ(check[0].ttl, 1);
    EXPECT_EQ(check[1].ttl, 3);
    // Stopped, the check sends nothing more.
    PumpFor(1500);
    EXPECT_EQ(CheckEchoes().size(), sentAtStop);

    // The changed row, and it alone, is drawn in amber; once the hops are cleared (a session
    // opened, say) nothing is marked any more.
    COLORREF text = 0;
    EXPECT_EQ(CustomDraw(CDDS_PREPAINT, -1), CDRF_NOTIFYITEMDRAW);
    EXPECT_EQ(CustomDraw(CDDS_ITEMPREPAINT, 0, &text), CDRF_NEWFONT);
    EXPECT_EQ(text, RGB(255, 200, 64));
    EXPECT_EQ(CustomDraw(CDDS_ITEMPREPAINT, 1, &text), CDRF_DODEFAULT);
    EXPECT_EQ(text, CLR_DEFAULT);
    ClearHops();
    EXPECT_EQ(CustomDraw(CDDS_PREPAINT, -1), CDRF_DODEFAULT);
    LockEchoStatistics();
    EXPECT_FALSE(AnyRouteRowChanged());
    UnlockEchoStatistics();
}

TEST_F(RouteCheck, NoChangeLeavesTheLogAndTheTableAsTheyWere) {
    UseScenario(LabRouteScenario());
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForState(TraceState::Pinging));
    ASSERT_TRUE(PumpUntil([&] { return CheckEchoes().size() >= 2; }, 10000));
    StopTrace();
    EXPECT_TRUE(RouteChanges().empty());
    LockEchoStatistics();
    EXPECT_FALSE(AnyRouteRowChanged());
    EXPECT_EQ(RouteAddressAt(0, 0).Count, 1u);
    UnlockEchoStatistics();
    // The table draws as it always has: its custom draw asks for nothing.
    EXPECT_EQ(CustomDraw(CDDS_PREPAINT, -1), CDRF_DODEFAULT);
}

} // namespace
