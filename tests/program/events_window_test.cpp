// The Events window in the running program: Ctrl+E opens it on the log, newest last, with the
// count since Start in its title; a double click shows the event's hop in the graph at its time;
// the alert flashes the taskbar button once per "stopped answering" when the Preferences ask.
#include "echo/echo_service.h"
#include "echo/history_store.h"
#include "events/events_view.h"
#include "events/trace_events.h"
#include "graph/graph.h"
#include "graph/graph_view.h"
#include "harness/import_patch.h"
#include "settings/preferences.h"
#include "trace/trace_clock.h"
#include "trace_fixture.h"
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// The alert's calls at the platform's edge.
int Flashes, Beeps;
HWND FlashedWindow;
BOOL WINAPI RecordFlash(PFLASHWINFO info) {
    Flashes++;
    FlashedWindow = info->hwnd;
    return TRUE;
}
BOOL WINAPI RecordBeep(UINT) {
    Beeps++;
    return TRUE;
}

class EventsWindowTest : public TraceTest {
  protected:
    void SetUp() override {
        TraceTest::SetUp();
        Flashes = Beeps = 0;
        FlashedWindow = nullptr;
        realFlash = PatchImport("user32.dll", "FlashWindowEx", reinterpret_cast<void*>(RecordFlash));
        realBeep = PatchImport("user32.dll", "MessageBeep", reinterpret_cast<void*>(RecordBeep));
        ASSERT_TRUE(realFlash && realBeep);
        Preferences = kDefaultPreferences;
    }
    void TearDown() override {
        PatchImport("user32.dll", "FlashWindowEx", realFlash);
        PatchImport("user32.dll", "MessageBeep", realBeep);
        HoldControl(false);
        Preferences = kDefaultPreferences;
        TraceTest::TearDown();
    }
    static void HoldControl(bool down) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    static void PressCtrl(HWND window, WPARAM key) {
        HoldControl(true);
        PostMessageA(window, WM_KEYDOWN, key, 1);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
            RunMessageStep();
        HoldControl(false);
    }
    // An event added as the echo worker adds them: under the echo lock.
    static void Add(TraceEventKind kind, int hop, uint32_t second, uint32_t end = 0) {
        LockEchoStatistics();
        TraceEvent& e = AddTraceEvent(kind, hop, second);
        if (kind == TraceEventKind::LossEpisode)
            e.Sent = 12, e.Lost = 7, e.WorstRtt = 35, e.EndSecond = end;
        if (kind == TraceEventKind::RouteChange) {
            e.OldAddress = inet_addr(LAB_R3_ADDR);
            e.NewAddress = inet_addr("198.18.9.1");
            strcpy(e.OldName, LAB_R3_NAME);
        }
        UnlockEchoStatistics();
    }
    static void ClearEvents() {
        LockEchoStatistics();
        ClearTraceEvents();
        UnlockEchoStatistics();
    }
    static HWND List() { return EventsWindow ? GetWindow(EventsWindow, GW_CHILD) : nullptr; }
    static std::string Title(HWND window) {
        char text[256] = "";
        GetWindowTextA(window, text, sizeof text);
        return text;
    }
    // Waits until the open list shows count events.
    static bool ListShows(int count) {
        return PumpUntil([&] {
            NoteTraceEvents();
            return ListViewRowCount(List()) == count;
        });
    }
    void* realFlash = nullptr;
    void* realBeep = nullptr;
};

TEST_F(EventsWindowTest, CtrlEOpensTheListNewestLastWithTheCountInItsTitle) {
    DiscoverLabRoute();
    ClearEvents();
    ASSERT_EQ(EventsWindow, nullptr);
    PressCtrl(HostBoxEdit, 'E');
    ASSERT_NE(EventsWindow, nullptr) << "Ctrl+E opened no Events window";
    EXPECT_TRUE(IsWindowVisible(EventsWindow));
    EXPECT_EQ(GetWindow(EventsWindow, GW_OWNER), MainWindow);
    EXPECT_EQ(Title(EventsWindow), "Events (0)");
    ASSERT_EQ(ListViewColumnCount(List()), 4);
    EXPECT_EQ(ListViewColumnTitle(List(), 0), "Time");
    EXPECT_EQ(ListViewColumnTitle(List(), 3), "Duration");
    const std::string mainTitle = Title(MainWindow), status = StatusText(0);

    uint32_t now = TraceSecondNow();
    Add(TraceEventKind::LossEpisode, 2, now, now + 13);
    Add(TraceEventKind::DestinationSilent, LAB_DEST_HOP - 1, now);
    Add(TraceEventKind::RouteChange, 2, now);
    ASSERT_TRUE(ListShows(3));
    EXPECT_EQ(Title(EventsWindow), "Events (3)");
    EXPECT_EQ(ListViewCell(List(), 0, 1), "3");
    EXPECT_EQ(ListViewCell(List(), 0, 2), "Loss: 7 of 12 echoes lost, worst 35 ms");
    EXPECT_EQ(ListViewCell(List(), 0, 3), "14 s");
    EXPECT_EQ(ListViewCell(List(), 1, 1), std::to_string(LAB_DEST_HOP));
    EXPECT_EQ(ListViewCell(List(), 1, 2), "The destination stopped answering");
    EXPECT_EQ(ListViewCell(List(), 1, 3), "");
    EXPECT_EQ(ListViewCell(List(), 2, 2),
              "Route changed: " LAB_R3_ADDR " (" LAB_R3_NAME ") -> 198.18.9.1");
    // The time is the start's wall clock plus the event's second, in local time.
    char expected[32];
    FormatEventClock(now, expected, sizeof expected);
    EXPECT_EQ(ListViewCell(List(), 2, 0), expected);
    EXPECT_EQ(ListViewCell(List(), 2, 0).size(), 8u) << "hh:mm:ss on the start's day";

    // A long night: the ring keeps the newest 1,000 and the title counts what it let go.
    for (int i = 0; i < 1000; i++)
        Add(TraceEventKind::LossEpisode, 1, now, now);
    ASSERT_TRUE(ListShows(1000));
    EXPECT_EQ(Title(EventsWindow), "Events (1,003; 3 oldest dropped)");
    EXPECT_EQ(ListViewCell(List(), 999, 1), "2");
    EXPECT_EQ(ListViewCell(List(), 0, 2), "Loss: 7 of 12 echoes lost, worst 35 ms");
    EXPECT_EQ(Title(MainWindow), mainTitle) << "the main window's texts stay as they are";
    EXPECT_EQ(StatusText(0), status);

    HWND events = EventsWindow;
    SendMessageA(MainWindow, WM_COMMAND, IDM_EVENTS, 0);
    EXPECT_EQ(EventsWindow, events) << "one Events window";
    DestroyWindow(EventsWindow);
    EXPECT_EQ(EventsWindow, nullptr);
}

// A double click on an event opens the graph on its hop, in the shortest span that holds its
// second; Return does the same for the selected event and starts no new trace.
TEST_F(EventsWindowTest, DoubleClickShowsTheHopInTheGraphAtThatTime) {
    DiscoverLabRoute();
    StopTrace();
    PumpFor(200);
    RestoreTraceClock(7200); // a trace stopped two hours after its start
    ClearEvents();
    Add(TraceEventKind::RouteChange, 4, 7180);
    Add(TraceEventKind::LossEpisode, 1, 7000, 7010);
    Add(TraceEventKind::LossEpisode, 2, 5000, 5010);
    Add(TraceEventKind::DestinationSilent, LAB_DEST_HOP - 1, 100);
    SendMessageA(MainWindow, WM_COMMAND, IDM_EVENTS, 0);
    ASSERT_TRUE(ListShows(4));
    const struct {
        int item;
        const char* title;
        GraphSpan span;
    } cases[] = {
        {0, "Hop Graph - Hop 5: " LAB_R5_NAME, GraphSpan::Minute},
        {1, "Hop Graph - Hop 2: " LAB_R2_NAME, GraphSpan::TenMinutes},
        {2, "Hop Graph - Hop 3: " LAB_R3_NAME, GraphSpan::Hour},
        {3, "Hop Graph - Hop 7: " LAB_DEST_NAME, GraphSpan::Day},
    };
    for (const auto& c : cases) {
        RECT r = {};
        r.left = LVIR_BOUNDS;
        SendMessageA(List(), LVM_GETITEMRECT, c.item, reinterpret_cast<LPARAM>(&r));
        LPARAM point = MAKELPARAM(r.left + 30, (r.top + r.bottom) / 2);
        SendMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageA(List(), WM_LBUTTONUP, 0, point);
        SendMessageA(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, point);
        SendMessageA(List(), WM_LBUTTONUP, 0, point);
        PumpFor(0);
        ASSERT_NE(GraphWindow, nullptr) << "item " << c.item;
        EXPECT_EQ(Title(GraphWindow), c.title) << "item " << c.item;
        EXPECT_EQ(GraphView.span, c.span) << "item " << c.item;
        EXPECT_EQ(SendMessageA(HopTable, LVM_GETNEXTITEM, -1, LVNI_SELECTED),
                  TraceEventAt(c.item).Hop);
    }
    DestroyWindow(GraphWindow);
    // Return on the selected event: the graph again, and the trace stays stopped.
    LVITEMA item = {};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(List(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    SetFocus(List());
    PostMessageA(List(), WM_KEYDOWN, VK_RETURN, 1);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) // through the program's own loop
        RunMessageStep();
    ASSERT_NE(GraphWindow, nullptr) << "Return showed nothing";
    EXPECT_EQ(Title(GraphWindow), "Hop Graph - Hop 5: " LAB_R5_NAME);
    EXPECT_EQ(CurrentTraceState, TraceState::Stopped) << "Return started a trace";
    EXPECT_EQ(TraceEventCount(), 4);
}

// With the alert on, each "stopped answering" flashes the main window's taskbar button and
// sounds once, however often the window looks at the log; never with it off, or for events
// of a trace already stopped.
TEST_F(EventsWindowTest, AlertFlashesOncePerEpisodeWhenOn) {
    DiscoverLabRoute();
    ClearEvents();
    NoteTraceEvents();
    const int destination = LAB_DEST_HOP - 1;
    Add(TraceEventKind::DestinationSilent, destination, TraceSecondNow());
    NoteTraceEvents();
    EXPECT_EQ(Flashes, 0) << "off by default";
    EXPECT_EQ(Beeps, 0);

    Preferences.AlertSilent = 1;
    Add(TraceEventKind::DestinationSilent, destination, TraceSecondNow());
    for (int i = 0; i < 5; i++)
        NoteTraceEvents();
    EXPECT_EQ(Flashes, 1);
    EXPECT_EQ(Beeps, 1);
    EXPECT_EQ(FlashedWindow, MainWindow);
    Add(TraceEventKind::LossEpisode, destination, TraceSecondNow(), TraceSecondNow());
    Add(TraceEventKind::DestinationAnswers, destination, TraceSecondNow());
    NoteTraceEvents();
    EXPECT_EQ(Flashes, 1) << "only a new silence alerts";
    Add(TraceEventKind::DestinationSilent, destination, TraceSecondNow());
    NoteTraceEvents();
    NoteTraceEvents();
    EXPECT_EQ(Flashes, 2) << "the next episode";
    EXPECT_EQ(Beeps, 2);

    // The ping cycle's own wake-ups look at the log: no call from the test is needed.
    FakeIcmpReleaseHeld();
    Add(TraceEventKind::DestinationSilent, destination, TraceSecondNow());
    ASSERT_TRUE(PumpUntil([] { return Flashes == 3; }));
    StopTrace();
    PumpFor(100);
    Add(TraceEventKind::DestinationSilent, destination, TraceSecondNow());
    NoteTraceEvents();
    EXPECT_EQ(Flashes, 3) << "a stopped trace alerts no one";
}

// The graph painted into a picture of its own: which of its columns hold how many pixels of the
// route change's colour.
std::vector<int> RouteColourColumns() {
    const int width = 720, height = 560;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ before = SelectObject(dc, bitmap);
    PaintGraph(dc, bits, width, height);
    GdiFlush();
    std::vector<int> columns(width);
    const uint32_t* pixels = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < width * height; i++)
        columns[i % width] += (pixels[i] & 0xFFFFFF) == 0xE67800; // RGB(230, 120, 0)
    SelectObject(dc, before);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return columns;
}

// No route change, no mark: the graph's pixels stay as they were. A route change of the hop shown
// draws a line down its time line and names it in its band; one of another hop only names it.
TEST_F(EventsWindowTest, TheGraphMarksRouteChangesOnlyWhereThereAreSome) {
    DiscoverLabRoute();
    ClearEvents();
    SendMessageA(MainWindow, WM_COMMAND, IDM_GRAPH, 0);
    ASSERT_NE(GraphWindow, nullptr);
    LVITEMA item = {};
    item.stateMask = item.state = LVIS_SELECTED;
    SendMessageA(HopTable, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&item));
    Add(TraceEventKind::LossEpisode, 2, TraceSecondNow(), TraceSecondNow());
    Add(TraceEventKind::DestinationSilent, LAB_DEST_HOP - 1, TraceSecondNow());
    auto tallest = [](const std::vector<int>& columns) {
        int most = 0, total = 0;
        for (int c : columns)
            most = std::max(most, c), total += c;
        return std::make_pair(most, total);
    };
    EXPECT_EQ(tallest(RouteColourColumns()), std::make_pair(0, 0)) << "no route change";

    Add(TraceEventKind::RouteChange, 1, TraceSecondNow());
    auto other = tallest(RouteColourColumns());
    EXPECT_GT(other.second, 20) << "the word in hop 2's band";
    EXPECT_LT(other.first, 20) << "no line: hop 3 is shown";

    Add(TraceEventKind::RouteChange, 2, TraceSecondNow());
    auto shown = tallest(RouteColourColumns());
    EXPECT_GT(shown.first, 100) << "a line down the time line of hop 3";
    EXPECT_GT(shown.second, 2 * other.second);
}

} // namespace
