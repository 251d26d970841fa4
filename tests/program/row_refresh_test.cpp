// A hop's row or report line read while the worker completes that hop's next echo waits for the
// completion, so that Sent and Recv never show one echo's count without the other's; a row
// refreshed faster than the screen shows waits for the display frame, and then writes all that
// was asked of it, and nothing asked for the hops of a trace before.
#include "harness/held_completion.h"
#include "harness/import_patch.h"
#include "hoptable/row_pacing.h"
#include "hoptable/trace_report.h"
#include <functional>
#include "trace_fixture.h"

namespace {

// The program's clock (GetTickCount) stands still while this lives: the table has just painted,
// for as long as the test needs, and every row refresh waits for the frame timer.
class ClockStandingStill {
  public:
    ClockStandingStill() {
        real = PatchImport("kernel32.dll", "GetTickCount", reinterpret_cast<void*>(Still));
        now = reinterpret_cast<DWORD(WINAPI*)()>(real)();
    }
    ~ClockStandingStill() { PatchImport("kernel32.dll", "GetTickCount", real); }

  private:
    static DWORD WINAPI Still() { return now; }
    static void* real;
    static DWORD now;
};
void* ClockStandingStill::real;
DWORD ClockStandingStill::now;

class RowRefresh : public TraceTest {};

TEST_F(RowRefresh, RowAndReportLineReadDuringTheirHopsCompletionShowOneMomentsFigures) {
    const struct {
        const char* what;
        std::function<std::string()> read;
        const char* shown;
    } readers[] = {
        {"row",
         [&] {
             WriteHopRow(HopList[0], 0, kColumnSent, ColumnCount);
             return Row(0);
         },
         "1|198.18.7.1|dest.routelark.test|2|2|5ms|5ms|5ms|5ms|0%"},
        {"report line",
         [] {
             std::string report;
             BuildTraceReport(report);
             return report.substr(report.rfind("\r\n", report.size() - 3) + 2);
         },
         "1    198.18.7.1       dest.routelark.test              2     2     5ms     5ms      5ms"
         "      5ms     0%\r\n"},
    };
    for (const auto& reader : readers) {
        SCOPED_TRACE(reader.what);
        FakeIcmpReset();
        UseScenario(
            "echo 198.18.7.1 1-31 reply dest rtt 5\necho 198.18.7.1 32 reply dest rtt 5 hold\n");
        Start(LAB_DEST_NAME);
        ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1);
        HeldCompletion held;
        FakeIcmpReleaseHeld();
        ASSERT_TRUE(
            held.WaitUntilHeld()); // the worker is about to count the echo sent, then received
        DelayedLetGo letGo;
        std::string shown = reader.read();
        EXPECT_TRUE(letGo.released) << "read while the echo was being counted";
        EXPECT_EQ(shown, reader.shown);
    }
}

TEST_F(RowRefresh, RowWaitingForTheFrameAlsoWritesAnEarlierColumnAskedMeanwhile) {
    DiscoverLabRoute();
    std::string shown = Row(0);
    ClockStandingStill clock;
    NoteTablePainted();
    SetCellText(0, kColumnAddress, "");
    SetCellText(0, kColumnSent, "");
    RefreshHopRow(HopList[0], 0, 3, ColumnCount);
    RefreshHopRow(HopList[0], 0, 0, ColumnCount); // the same row, from an earlier column
    EXPECT_EQ(ListViewCell(HopTable, 0, kColumnSent), "") << "the refresh waits for the frame";
    ASSERT_TRUE(PumpUntil([&] { return ListViewCell(HopTable, 0, kColumnSent) != ""; }));
    EXPECT_EQ(Row(0), shown);
}

// A new trace clears the hops while a row waits for the frame: its own first hop in that row
// shows what was asked for it (Hop and IP Address, before its name), not the last trace's refresh.
TEST_F(RowRefresh, RowWaitingWhenTheHopsAreClearedIsNotWrittenForTheNextTrace) {
    DiscoverLabRoute();
    {
        ClockStandingStill clock;
        NoteTablePainted();
        RefreshHopRow(HopList[0], 0, kColumnSent, ColumnCount); // waits for the frame
    }
    StopTrace();
    FakeIcmpReleaseHeld();
    ClearHops();
    SendMessageA(HopTable, LVM_DELETEALLITEMS, 0, 0);
    HopList[0] = new CPinger(inet_addr("198.18.1.1"));
    InsertHopRow(0, "1");
    RefreshHopRow(HopList[0], 0, kColumnHop, kColumnHostName);
    PumpFor(100);
    EXPECT_EQ(Row(0), "1|198.18.1.1||||||||");
}

} // namespace
