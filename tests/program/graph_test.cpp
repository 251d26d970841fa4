// The hop graph in the running program: the history counts what the table counts, the window
// opens from Ctrl+G and a double click, follows the selected row, keeps the main window's
// shortcuts, copies its picture, and keeps its place in the INI file.
#include "graph/graph.h"
#include "trace_fixture.h"

namespace {

class HopGraph : public TraceTest {
  protected:
    void TearDown() override {
        HoldKeys(false);
        TraceTest::TearDown();
    }
    static void HoldKeys(bool control) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    // A key pressed in a window, through the program's own message loop.
    static void Press(HWND window, WPARAM key, bool control = false) {
        HoldKeys(control);
        PostMessageA(window, WM_KEYDOWN, key, 1);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
            RunMessageStep();
        HoldKeys(false);
    }
    static std::string Title(HWND window) {
        char text[512] = "";
        GetWindowTextA(window, text, sizeof text);
        return text;
    }
    static void SelectRow(int row) {
        LVITEMA item = {};
        item.stateMask = item.state = LVIS_SELECTED;
        SendMessageA(HopTable, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    }
    static void DoubleClickRow(int row) {
        RECT r = {};
        r.left = LVIR_BOUNDS;
        SendMessageA(HopTable, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        LPARAM point = MAKELPARAM(r.left + 60, (r.top + r.bottom) / 2);
        SendMessageA(HopTable, WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageA(HopTable, WM_LBUTTONUP, 0, point);
        SendMessageA(HopTable, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
        SendMessageA(HopTable, WM_LBUTTONUP, 0, point);
        PumpFor(0);
    }
};

// Two hops lose echoes now and then; after the trace, each hop's buckets hold exactly the echoes
// its Sent and Recv cells count, the discovery probe among them and the echo out at Stop too.
TEST_F(HopGraph, BucketsCountWhatTheTableCounts) {
    UseScenario(LabRouteScenario("echo " LAB_R2_ADDR " 32 timeout times 3\n"
                                 "echo " LAB_DEST_ADDR " 32 timeout times 2\n"
                                 "echo * 32 reply dest rtt 4\n"));
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForCycleEchoes(200));
    StopTrace();
    PumpFor(300); // the echo out at Stop is counted by the worker
    uint32_t end = TraceEndSecond();
    ASSERT_EQ(HopCount, LAB_DEST_HOP);
    for (int row = 0; row < HopCount; row++) {
        CPinger* hop = HopList[row];
        ASSERT_NE(hop->History(), nullptr) << "hop " << row + 1;
        for (GraphSpan span : {GraphSpan::Hour, GraphSpan::Day}) {
            SpanFigures f = HopSpanFigures(hop, span, end);
            EXPECT_EQ(f.sent, static_cast<uint64_t>(hop->GetSentCount())) << "hop " << row + 1;
            EXPECT_EQ(f.answered, static_cast<uint64_t>(hop->GetReceivedCount()))
                << "hop " << row + 1;
            EXPECT_EQ(f.minRtt, hop->GetMinRtt()) << "hop " << row + 1;
            EXPECT_EQ(f.maxRtt, hop->GetMaxRtt()) << "hop " << row + 1;
        }
    }
    EXPECT_EQ(HopList[1]->GetSentCount() - HopList[1]->GetReceivedCount(), 3);
    EXPECT_EQ(ProbePinger->History(), nullptr) << "the probe pinger keeps no history";
}

TEST_F(HopGraph, OpensFromCtrlGAndADoubleClickAndFollowsTheSelectedRow) {
    DiscoverLabRoute();
    EXPECT_EQ(GraphWindow, nullptr);
    Press(HostBoxEdit, 'G', true);
    ASSERT_NE(GraphWindow, nullptr) << "Ctrl+G opened no graph";
    EXPECT_TRUE(IsWindowVisible(GraphWindow));
    EXPECT_EQ(GetWindow(GraphWindow, GW_OWNER), MainWindow);
    EXPECT_EQ(Title(GraphWindow), "Hop Graph - Hop 1: " LAB_R1_NAME) << "no row selected";
    SelectRow(2);
    EXPECT_EQ(Title(GraphWindow), "Hop Graph - Hop 3: " LAB_R3_NAME);
    HWND graph = GraphWindow;
    SendMessageA(MainWindow, WM_COMMAND, IDM_GRAPH, 0);
    EXPECT_EQ(GraphWindow, graph) << "one graph window";

    DestroyWindow(GraphWindow);
    EXPECT_EQ(GraphWindow, nullptr);
    DoubleClickRow(4);
    ASSERT_NE(GraphWindow, nullptr) << "a double click on a row opened no graph";
    EXPECT_EQ(Title(GraphWindow), "Hop Graph - Hop 5: " LAB_R5_NAME);
    EXPECT_EQ(SendMessageA(HopTable, LVM_GETNEXTITEM, -1, LVNI_SELECTED), 4);
}

// With the first hop skipped and names not looked up, the title numbers the hop as the Hop column
// does and names it by its address.
TEST_F(HopGraph, TitleNumbersAndNamesTheHopAsTheTableDoes) {
    Settings.IgnoreFirst = 1;
    HideColumn(kColumnHostName);
    DiscoverLabRoute();
    SendMessageA(MainWindow, WM_COMMAND, IDM_GRAPH, 0);
    ASSERT_NE(GraphWindow, nullptr);
    EXPECT_EQ(ListViewCell(HopTable, 0, 0), "2");
    EXPECT_EQ(Title(GraphWindow), "Hop Graph - Hop 2: " LAB_R2_ADDR);
}

// Esc there stops the trace as in the main window; 1 ... 4 choose the span, kept with the window's
// place in the section "Graph"; a run that never opens the graph writes no such section.
TEST_F(HopGraph, KeepsTheShortcutsAndItsPlace) {
    DiscoverLabRoute();
    SendMessageA(MainWindow, WM_COMMAND, IDM_GRAPH, 0);
    ASSERT_NE(GraphWindow, nullptr);
    Press(GraphWindow, VK_ESCAPE);
    EXPECT_EQ(CurrentTraceState, TraceState::Stopped) << "Esc in the graph did not stop the trace";
    Press(GraphWindow, '4');
    MoveWindow(GraphWindow, 50, 60, 500, 400, TRUE);
    HeldEchoReleaser releaser; // the shutdown waits for the echo out
    Restart();
    std::string ini = ReadWholeFile(folder->File("routelark.ini"));
    EXPECT_NE(ini.find("[Graph]\r\nXpos=50\r\nYpos=60\r\nWidth=500\r\nHeight=400\r\nSpan=3\r\n"),
              std::string::npos)
        << ini;
    SendMessageA(MainWindow, WM_COMMAND, IDM_GRAPH, 0);
    ASSERT_NE(GraphWindow, nullptr);
    RECT r;
    GetWindowRect(GraphWindow, &r);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.bottom, 460);

    for (int run = 0; run < 2; run++) { // the run that opened it, then one that does not
        DeleteFileA(folder->File("routelark.ini").c_str());
        Restart();
    }
    EXPECT_EQ(ReadWholeFile(folder->File("routelark.ini")).find("[Graph]"), std::string::npos);
}

// Return, which starts a new trace from the main window, does nothing in the graph: the stopped
// trace's hops and their histories stay to be read.
TEST_F(HopGraph, ReturnThereKeepsTheStoppedTrace) {
    DiscoverLabRoute();
    SendMessageA(MainWindow, WM_COMMAND, IDM_STOP, 0);
    int hops = HopCount;
    SendMessageA(MainWindow, WM_COMMAND, IDM_GRAPH, 0);
    ASSERT_NE(GraphWindow, nullptr);
    Press(GraphWindow, VK_RETURN);
    EXPECT_EQ(CurrentTraceState, TraceState::Stopped) << "Return in the graph started a trace";
    EXPECT_EQ(HopCount, hops);
}

class HopGraphClipboard : public HopGraph {};

// Ctrl+C in the graph puts its picture on the clipboard, not the table's report.
TEST_F(HopGraphClipboard, CtrlCCopiesThePicture) {
    DiscoverLabRoute();
    SendMessageA(MainWindow, WM_COMMAND, IDM_GRAPH, 0);
    ASSERT_NE(GraphWindow, nullptr);
    Press(GraphWindow, 'C', true);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT)) << "the report was copied";
    HANDLE data = GetClipboardData(CF_DIB);
    ASSERT_NE(data, nullptr);
    auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(data));
    RECT client;
    GetClientRect(GraphWindow, &client);
    EXPECT_EQ(header->biWidth, client.right);
    EXPECT_EQ(header->biHeight, client.bottom);
    EXPECT_EQ(header->biBitCount, 32);
    EXPECT_GE(GlobalSize(data), sizeof *header + 4u * client.right * client.bottom);
    // Opaque: a program that reads the fourth byte as alpha pastes no transparent picture.
    auto* pixels = reinterpret_cast<const uint32_t*>(header + 1);
    int transparent = 0;
    for (int i = 0; i < client.right * client.bottom; i++)
        transparent += (pixels[i] >> 24) != 0xFF;
    EXPECT_EQ(transparent, 0);
    GlobalUnlock(data);
    CloseClipboard();
}

} // namespace
