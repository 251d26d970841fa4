// The application shell in the running program: routing of the trace messages, the ping
// timer, tooltips, status bar, menus, accelerators and the toolbar.
#include "app/app.h"
#include "app/event_routing.h"
#include "app/resource.h"
#include "harness/program.h"
#include "harness/recording_window.h"
#include "settings/settings.h"
#include "trace/trace.h"
#include <commctrl.h>
#include <thread>
#include <vector>

namespace {

std::vector<RecordedMessage>* Routed;

void RecordRouted(UINT message, WPARAM wParam, LPARAM lParam) {
    Routed->push_back({message, wParam, lParam});
}

const EventHandlerEntry RecordingHandlers[kTraceMessageCount] = {
    {MSG_TRACE_RESOLVED, RecordRouted}, {MSG_TRACE_PROBE, RecordRouted},
    {MSG_TRACE_HOPNAME, RecordRouted},  {MSG_PING_REPLY, RecordRouted},
    {MSG_PING_NEXT, RecordRouted},
};

// Records the trace messages that reach the main window, before its procedure routes them.
WNDPROC MainWindowProcBefore;
LRESULT CALLBACK RecordingMainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= MSG_TRACE_RESOLVED && message <= MSG_PING_NEXT)
        Routed->push_back({message, wParam, lParam});
    return CallWindowProcA(MainWindowProcBefore, window, message, wParam, lParam);
}

class Shell : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Routed = &routed;
    }
    void RecordArrivingTraceMessages() {
        MainWindowProcBefore = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            MainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingMainWindowProc)));
    }
    HANDLE DummyLookup() { return reinterpret_cast<HANDLE>(0x5151); }
    std::vector<RecordedMessage> routed;
};

TEST_F(Shell, TablesHoldTheFiveMessagesInOrder) {
    const TraceHandler expected[] = {OnDestinationResolved, OnProbeReply, OnHopName, OnPingReply,
                                     SendNextPing};
    // Stopped, only the completion of the echo that was out at Stop is taken: to show it.
    const TraceHandler idle[] = {nullptr, nullptr, nullptr, ShowEchoOutAtStop, nullptr};
    for (int i = 0; i < kTraceMessageCount; i++) {
        EXPECT_EQ(TraceHandlers[i].message, static_cast<UINT>(1124 + i));
        EXPECT_EQ(TraceHandlers[i].handler, expected[i]) << "entry " << i;
        EXPECT_EQ(IdleHandlers[i].message, static_cast<UINT>(1124 + i));
        EXPECT_EQ(IdleHandlers[i].handler, idle[i]) << "entry " << i;
    }
    EXPECT_EQ(ActiveHandlers(), IdleHandlers) << "idle until the first trace starts";
}

TEST_F(Shell, IdleTableDropsEveryTraceMessage) {
    for (UINT message = 1124; message <= 1128; message++) {
        EXPECT_EQ(SendMessageA(MainWindow, message, 0, 2), 0);
        EXPECT_EQ(CurrentTraceState, TraceState::Stopped);
    }
}

TEST_F(Shell, TableRoutesEachMessageToItsEntry) {
    for (UINT message = 1124; message <= 1128; message++) {
        PendingLookup = reinterpret_cast<HANDLE>(message * 10); // the lookup completions' own
        RouteTraceMessage(RecordingHandlers, message, message * 10, message * 100);
    }
    ASSERT_EQ(routed.size(), 5u);
    for (UINT i = 0; i < 5; i++) {
        EXPECT_EQ(routed[i].message, 1124 + i);
        EXPECT_EQ(routed[i].wParam, (1124 + i) * 10);
        EXPECT_EQ(routed[i].lParam, static_cast<LPARAM>((1124 + i) * 100));
    }
}

// A lookup completion is routed only when it is the completion of the lookup the trace waits
// for (its task handle in wParam), and that lookup is then over.
TEST_F(Shell, OnlyThePendingLookupsCompletionIsRouted) {
    const struct {
        HANDLE pending;
        WPARAM wParam;
        bool routed;
    } cases[] = {
        {DummyLookup(), 0x5151, true},  // the pending lookup's answer
        {DummyLookup(), 0x5152, false}, // a stopped trace's lookup
        {DummyLookup(), 0, false},      // a stopped trace's lookup that could not start
        {nullptr, 0, true},             // this trace's lookup that could not start
        {nullptr, 0x5151, false},       // any lookup after Stop
    };
    for (UINT message : {MSG_TRACE_RESOLVED, MSG_TRACE_HOPNAME}) {
        for (const auto& c : cases) {
            routed.clear();
            PendingLookup = c.pending;
            RouteTraceMessage(RecordingHandlers, message, c.wParam, 0);
            EXPECT_EQ(routed.size(), c.routed ? 1u : 0u)
                << "message " << message << " wParam " << c.wParam;
            EXPECT_EQ(PendingLookup, c.routed ? nullptr : c.pending);
        }
    }
    PendingLookup = nullptr;
}

TEST_F(Shell, AnyTimerTickKillsTimerOneAndDeliversPingNextWithItsParameters) {
    RecordArrivingTraceMessages();
    SetTimer(MainWindow, kPingTimerId, 60000, nullptr);
    SendMessageA(MainWindow, WM_TIMER, 7, 0x4242);
    ASSERT_EQ(routed.size(), 1u) << "delivered synchronously, before the next message";
    EXPECT_EQ(routed[0].message, static_cast<UINT>(MSG_PING_NEXT));
    EXPECT_EQ(routed[0].wParam, 7u);
    EXPECT_EQ(routed[0].lParam, 0x4242);
    EXPECT_FALSE(KillTimer(MainWindow, kPingTimerId)) << "timer 1 is already gone";
}

TEST_F(Shell, TimerTickWhileStoppedIsDropped) {
    SetTimer(MainWindow, kPingTimerId, 60000, nullptr);
    SendMessageA(MainWindow, WM_TIMER, kPingTimerId, 0);
    EXPECT_FALSE(KillTimer(MainWindow, kPingTimerId));
    EXPECT_EQ(CurrentTraceState, TraceState::Stopped);
}

std::string Tooltip(UINT_PTR id) {
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = ToolbarWindow;
    info.hdr.idFrom = id;
    info.hdr.code = TTN_NEEDTEXTA;
    SendMessageA(MainWindow, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    return info.szText;
}

TEST_F(Shell, TooltipsNameEachButton) {
    EXPECT_EQ(Tooltip(IDM_START), "Start trace");
    EXPECT_EQ(Tooltip(IDM_STOP), "Stop trace");
    EXPECT_EQ(Tooltip(IDM_WHOIS), "WhoIs lookup");
    EXPECT_EQ(Tooltip(IDM_SETUP), "Setup");
    EXPECT_EQ(Tooltip(IDM_HELP), "Help");
    EXPECT_EQ(Tooltip(IDM_EXIT), "Exit");
    EXPECT_EQ(Tooltip(IDM_ABOUT), "Dunno");
    EXPECT_EQ(Tooltip(12345), "Dunno");
}

TEST_F(Shell, CopyTooltipFollowsTheHtmlSetting) {
    Settings.CopyHTML = 0;
    EXPECT_EQ(Tooltip(IDM_COPY), "Copy trace to clipboard");
    Settings.CopyHTML = 1;
    EXPECT_EQ(Tooltip(IDM_COPY), "Copy trace to clipboard (HTML format)");
    Settings.CopyHTML = 0;
}

TEST_F(Shell, OtherNotificationsLeaveTheirTextAlone) {
    NMTTDISPINFOA info = {};
    info.hdr.idFrom = IDM_START;
    info.hdr.code = TTN_NEEDTEXTW;
    SendMessageA(MainWindow, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(info.szText, "");
}

TEST_F(Shell, StatusBarHasThreePartsAndStartsInSimpleModeReadingReady) {
    int edges[3] = {};
    ASSERT_EQ(SendMessageA(StatusBar, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges)), 3);
    EXPECT_EQ(edges[0], 48);
    EXPECT_EQ(edges[1], 240);
    EXPECT_EQ(edges[2], -1);
    EXPECT_TRUE(SendMessageA(StatusBar, SB_ISSIMPLE, 0, 0));
    EXPECT_EQ(StatusText(255), "Ready");
}

TEST_F(Shell, StatusTextOnAPartLeavesSimpleMode) {
    SetStatusText(2, "Pinging...");
    EXPECT_FALSE(SendMessageA(StatusBar, SB_ISSIMPLE, 0, 0));
    EXPECT_EQ(StatusText(2), "Pinging...");
    SetStatusText(255, "Stopped");
    EXPECT_TRUE(SendMessageA(StatusBar, SB_ISSIMPLE, 0, 0));
    SetStatusText(0, "Hop %d", 3);
    EXPECT_FALSE(SendMessageA(StatusBar, SB_ISSIMPLE, 0, 0));
    EXPECT_EQ(StatusText(0), "Hop 3");
}

// The status bar's parts are cut to 255 characters; a box names a whole host text (1023
// characters, the most a pinger holds), so that no box leaves the user guessing.
TEST_F(Shell, StatusTextsAreCutTo255CharactersWhileBoxesShowAWholeHostText) {
    std::string host(1023, 'h');
    SetStatusText(1, "%s", host.c_str());
    EXPECT_EQ(StatusText(1), std::string(255, 'h'));
    ShowMessage(MainWindow, "Routelark", MB_OK, "Remove %s?", host.c_str());
    ASSERT_EQ(messageBoxes.Count(), 1u);
    EXPECT_EQ(messageBoxes.Boxes()[0].text, "Remove " + host + "?");
}

TEST_F(Shell, ShowMessageReturnsTheButtonPressed) {
    messageBoxes.QueueAnswer(IDYES);
    messageBoxes.QueueAnswer(IDNO);
    EXPECT_EQ(ShowMessage(MainWindow, "Routelark", MB_YESNO, "one"), IDYES);
    EXPECT_EQ(ShowMessage(MainWindow, "Routelark", MB_YESNO, "two"), IDNO);
    EXPECT_EQ(messageBoxes.Boxes()[1].owner, MainWindow);
}

UINT MenuState(HMENU menu, UINT command) {
    return GetMenuState(menu, command, MF_BYCOMMAND);
}

std::string MenuText(HMENU menu, UINT position) {
    char text[128] = "";
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

TEST_F(Shell, MainMenuIsLaidOutAsTheUserSeesIt) {
    HMENU menu = GetMenu(MainWindow);
    ASSERT_EQ(GetMenuItemCount(menu), 6);
    const char* const titles[] = {"&File", "&Edit", "&View", "&Trace", "&Options", "&Help"};
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(MenuText(menu, i), titles[i]);
    MENUITEMINFOA help = {};
    help.cbSize = sizeof help;
    help.fMask = MIIM_FTYPE;
    GetMenuItemInfoA(menu, 5, TRUE, &help);
    EXPECT_TRUE(help.fType & MFT_RIGHTJUSTIFY) << "Help sits at the right end";

    HMENU view = GetSubMenu(menu, 2);
    const char* const columns[] = {"&Hop", "&IP Address", "H&ost Name", "&Sent",    "R&ecv",
                                   "&RTT", "&Av RTT",     "&Min RTT",   "Ma&x RTT", "% &Loss"};
    for (int n = 0; n < 10; n++) {
        EXPECT_EQ(MenuText(view, n), columns[n]);
        UINT state = MenuState(menu, IDM_COLUMN_FIRST + n);
        EXPECT_TRUE(state & MF_CHECKED) << columns[n];
        EXPECT_EQ((state & MF_GRAYED) != 0, n < 2) << columns[n];
    }
    // The AS column's item follows the ten, unchecked: the column is hidden until shown.
    EXPECT_EQ(MenuText(view, 10), "AS");
    EXPECT_EQ(GetMenuItemID(view, 10), static_cast<UINT>(IDM_COLUMN_AS));
    EXPECT_FALSE(MenuState(menu, IDM_COLUMN_AS) & (MF_CHECKED | MF_GRAYED));
    EXPECT_EQ(MenuText(view, 12), "&Hostname List       Ctrl + L");
    EXPECT_TRUE(GetMenuState(view, 13, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(MenuText(view, 14), "Hop &Graph   Ctrl+G");
    EXPECT_EQ(GetMenuItemID(view, 14), static_cast<UINT>(IDM_GRAPH));
    HMENU trace = GetSubMenu(menu, 3);
    EXPECT_EQ(MenuText(trace, 0), "&Start        Return");
    EXPECT_EQ(MenuText(trace, 1), "S&top        Esc");
    EXPECT_EQ(MenuText(trace, 3), "&Whois     Ctrl + W");
    HMENU file = GetSubMenu(menu, 0);
    ASSERT_EQ(GetMenuItemCount(file), 7);
    EXPECT_EQ(MenuText(file, 0), "&Open...   Ctrl+O");
    EXPECT_EQ(MenuText(file, 1), "Save &Session...   Ctrl+Shift+S");
    EXPECT_EQ(MenuText(file, 2), "Save &As...   F12");
    EXPECT_TRUE(GetMenuState(file, 3, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(MenuText(file, 4), "&Recent sessions");
    HMENU recent = GetSubMenu(file, 4);
    ASSERT_EQ(GetMenuItemCount(recent), 1);
    EXPECT_EQ(MenuText(recent, 0), "(none)");
    EXPECT_TRUE(GetMenuState(recent, 0, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(file, 5, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(MenuText(file, 6), "E&xit      Ctrl + X");
    EXPECT_TRUE(MenuState(menu, IDM_SAVE_SESSION) & MF_GRAYED) << "no trace to save yet";
    EXPECT_EQ(MenuText(GetSubMenu(menu, 1), 0), "&Copy     Ctrl + C");
    EXPECT_EQ(MenuText(GetSubMenu(menu, 4), 0), "&Setup     Ctrl + S");
    EXPECT_EQ(MenuText(GetSubMenu(menu, 4), 1), "&Preferences...");
    EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 4), 1), static_cast<UINT>(IDM_PREFERENCES));
    EXPECT_EQ(MenuText(GetSubMenu(menu, 5), 0), "&Contents     Ctrl + H");
    EXPECT_EQ(MenuText(GetSubMenu(menu, 5), 2), "&About          Ctrl + A");
}

TEST_F(Shell, StoppedControlsOfferStartOnly) {
    HMENU menu = GetMenu(MainWindow);
    EXPECT_TRUE(MenuState(menu, IDM_STOP) & MF_GRAYED);
    EXPECT_FALSE(MenuState(menu, IDM_START) & MF_GRAYED);
    EXPECT_TRUE(SendMessageA(ToolbarWindow, TB_ISBUTTONHIDDEN, IDM_STOP, 0));
    EXPECT_FALSE(SendMessageA(ToolbarWindow, TB_ISBUTTONHIDDEN, IDM_START, 0));
}

TEST_F(Shell, ToolbarHoldsTheRoomForTheHostBoxAndSevenButtons) {
    ASSERT_EQ(SendMessageA(ToolbarWindow, TB_BUTTONCOUNT, 0, 0), 48);
    const int commands[] = {IDM_START, IDM_STOP, 0, IDM_COPY, IDM_WHOIS,
                            IDM_SETUP, IDM_HELP, 0, IDM_EXIT};
    for (int i = 0; i < 48; i++) {
        TBBUTTON button = {};
        SendMessageA(ToolbarWindow, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        if (i < 39 || commands[i - 39] == 0) {
            EXPECT_TRUE(button.fsStyle & TBSTYLE_SEP) << "entry " << i;
        } else {
            EXPECT_EQ(button.idCommand, commands[i - 39]) << "entry " << i;
            EXPECT_TRUE(button.fsState & TBSTATE_ENABLED);
        }
    }
}

TEST_F(Shell, PopupMenuHasTheHopItems) {
    HMENU popup = GetSubMenu(HopPopupMenu, 0);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), 3);
    EXPECT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(IDM_HOP_TOGGLE));
    EXPECT_EQ(GetMenuItemID(popup, 2), static_cast<UINT>(IDM_HOP_WHOIS));
    EXPECT_TRUE(GetMenuState(popup, 1, MF_BYPOSITION) & MF_SEPARATOR);
}

TEST_F(Shell, AcceleratorsMapTheShortcutsToTheirCommands) {
    ACCEL keys[16];
    int count = CopyAcceleratorTableA(Accelerators, keys, 16);
    struct {
        BYTE modifiers;
        WORD key;
        WORD command;
    } const expected[] = {
        {FVIRTKEY | FCONTROL, 'A', IDM_ABOUT},
        {FVIRTKEY | FCONTROL, 'C', IDM_COPY},
        {FVIRTKEY | FCONTROL, 'E', IDM_EVENTS},
        {FVIRTKEY | FCONTROL, 'G', IDM_GRAPH},
        {FVIRTKEY | FCONTROL, 'H', IDM_HELP},
        {FVIRTKEY | FCONTROL, 'L', IDM_HOSTLIST},
        {FVIRTKEY | FCONTROL, 'O', IDM_OPEN},
        {FVIRTKEY | FCONTROL, 'S', IDM_SETUP},
        {FVIRTKEY | FCONTROL | FSHIFT, 'S', IDM_SAVE_SESSION},
        {FVIRTKEY, VK_ESCAPE, IDM_STOP},
        {FVIRTKEY, VK_RETURN, IDM_START},
        {FVIRTKEY | FCONTROL, 'W', IDM_WHOIS},
        {FVIRTKEY | FCONTROL, 'X', IDM_EXIT},
        {FVIRTKEY, VK_F12, IDM_SAVE_AS},
    };
    ASSERT_EQ(count, 14);
    for (int i = 0; i < count; i++) {
        EXPECT_EQ(keys[i].fVirt & ~FNOINVERT, expected[i].modifiers) << "key " << i;
        EXPECT_TRUE(keys[i].fVirt & FNOINVERT);
        EXPECT_EQ(keys[i].key, expected[i].key) << "key " << i;
        EXPECT_EQ(keys[i].cmd, expected[i].command) << "key " << i;
    }
}

// The accelerators act on the main window through the message loop's first step.
TEST_F(Shell, EscapeKeyStopsThroughTheMessageLoop) {
    ShowTraceControls(1);
    PostMessageA(HostBoxEdit, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_EQ(RunMessageStep(), 1);
    EXPECT_EQ(StatusText(255), "Stopped");
    EXPECT_TRUE(SendMessageA(ToolbarWindow, TB_ISBUTTONHIDDEN, IDM_STOP, 0));
}

// The help viewer's windows run on the program's thread: keys typed there stay with them.
TEST_F(Shell, ShortcutsLeaveTheKeysOfAnotherWindowOfTheThreadAlone) {
    RecordingWindow viewer; // a top-level window of the thread, as the viewer's are
    TypeHost("192.0.2.10");
    ShowTraceControls(1);
    SetStatusText(255, "Tracing");
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        PostMessageA(viewer.Handle(), WM_KEYDOWN, key, 0);
        ASSERT_EQ(RunMessageStep(), 1);
    }
    EXPECT_EQ(StatusText(255), "Tracing") << "Esc stopped the trace";
    EXPECT_EQ(CurrentTraceState, TraceState::Stopped) << "Return started a trace";
}

// An idle loop sleeps: while nothing arrives, a step waits instead of returning at once.
TEST_F(Shell, MessageStepWaitsForTheNextMessageInsteadOfSpinning) {
    RecordingWindow window;
    PumpFor(100);
    std::thread poster([&] {
        Sleep(300);
        PostMessageA(window.Handle(), WM_USER + 1, 0, 0);
    });
    int steps = 0;
    while (window.Messages().empty() && steps < 100000)
        steps += RunMessageStep();
    poster.join();
    EXPECT_FALSE(window.Messages().empty());
    EXPECT_LT(steps, 20) << "the loop went round " << steps << " times while idle";
}

TEST_F(Shell, MessageStepEndsAtQuit) {
    PostQuitMessage(3);
    int steps = 0;
    while (RunMessageStep() && steps < 100)
        steps++;
    EXPECT_LT(steps, 100);
}

TEST_F(Shell, ExitCommandShutsTheProgramDown) {
    SendMessageA(MainWindow, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(MainWindow, nullptr);
    EXPECT_EQ(HopPopupMenu, nullptr);
}

} // namespace
