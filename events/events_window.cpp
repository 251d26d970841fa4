// The Events window: a report list of the trace's events, newest last, read from the log as the
// list view asks for each cell (a virtual list: nothing is copied per event), with the count
// since Start in its title.
#include "app/app.h"
#include "app/resource.h"
#include "common/bounded_text.h"
#include "dpi/dpi_rules.h"
#include "dpi/window_dpi.h"
#include "echo/echo_service.h"
#include "events/event_text.h"
#include "events/events_view.h"
#include "events/trace_events.h"
#include "graph/graph.h"
#include "hoptable/cell_format.h"
#include "settings/preferences.h"
#include "settings/settings.h"
#include "trace/trace.h"
#include <commctrl.h>
#include <cstring>

HWND EventsWindow;

static const char kEventsClass[] = "RoutelarkEvents";
enum : UINT_PTR { kRefreshTimerId = 1, kTickTimerId = 2 };
// The list follows new events at most five times a second; an open episode's running length
// is brought up to date once a second, and only while the window is open.
enum { kRefreshMs = 200, kTickMs = 1000 };
enum { kCommandSave = 1, kCommandShowInGraph = 2 };

// The columns, their widths at 96 DPI, and which are right-aligned.
static const struct {
    const char* title;
    int width;
    bool right;
} kEventColumns[] = {
    {"Time", 72, false}, {"Hop", 40, true}, {"Event", 520, false}, {"Duration", 96, true}};
enum { kEventColumnCount = sizeof kEventColumns / sizeof kEventColumns[0] };

static HWND EventList;
static HFONT ListFont;
static int ListDpi; // the DPI the list's font and columns were made for

// What the list shows, as of its last refresh, and the log's version it showed.
static int ShownCount;
static uint32_t ShownVersion;
static char ShownTitle[64];
// The log's version the UI thread saw last, and how many events since Start it has looked at for
// the alert: each new "stopped answering" among them alerts once.
static uint32_t SeenVersion;
static uint32_t AlertedThrough;
static DWORD LastRefresh;
static bool RefreshPending;

static void ShowEventsTitle(uint32_t sinceStart, uint32_t dropped) {
    char title[sizeof ShownTitle];
    FormatEventsTitle(sinceStart, dropped, TraceTargetKnown || sinceStart > 0, title,
                      sizeof title);
    if (strcmp(title, ShownTitle) == 0)
        return;
    CopyText(ShownTitle, sizeof ShownTitle, title);
    SetWindowTextA(EventsWindow, title);
}

// Whether the list's last row is in view: then it keeps following the newest event.
static bool ShowsNewest() {
    if (ShownCount == 0)
        return true;
    int top = static_cast<int>(SendMessageA(EventList, LVM_GETTOPINDEX, 0, 0));
    int page = static_cast<int>(SendMessageA(EventList, LVM_GETCOUNTPERPAGE, 0, 0));
    return top + page >= ShownCount;
}

// The Duration cells of the open episodes in view, whose running length grows each second;
// nothing else is repainted.
static void RepaintOpenDurations() {
    int top = static_cast<int>(SendMessageA(EventList, LVM_GETTOPINDEX, 0, 0));
    int page = static_cast<int>(SendMessageA(EventList, LVM_GETCOUNTPERPAGE, 0, 0)) + 1;
    if (top < 0)
        top = 0;
    static bool open[kEventCapacity];
    LockEchoStatistics();
    int count = TraceEventCount();
    for (int i = top; i < top + page && i < count; i++)
        open[i] = TraceEventAt(i).Open != 0;
    UnlockEchoStatistics();
    for (int i = top; i < top + page && i < count; i++) {
        if (!open[i])
            continue;
        RECT cell = {};
        cell.top = 3; // the Duration column
        cell.left = LVIR_BOUNDS;
        if (SendMessageA(EventList, LVM_GETSUBITEMRECT, i, reinterpret_cast<LPARAM>(&cell)))
            InvalidateRect(EventList, &cell, FALSE);
    }
}

// The list brought up to the log: its count, its rows repainted, the title; and while the trace
// runs, the running length of open episodes.
static void RefreshEventList() {
    LastRefresh = GetTickCount();
    RefreshPending = false;
    if (!EventsWindow)
        return;
    LockEchoStatistics();
    int count = TraceEventCount();
    uint32_t version = TraceEventsVersion();
    uint32_t sinceStart = TraceEventsSinceStart(), dropped = TraceEventsDropped();
    UnlockEchoStatistics();
    if (version != ShownVersion) {
        bool follow = ShowsNewest();
        ShownVersion = version;
        ShownCount = count;
        SendMessageA(EventList, LVM_SETITEMCOUNT, count, LVSICF_NOSCROLL);
        InvalidateRect(EventList, nullptr, FALSE);
        if (follow && count > 0)
            SendMessageA(EventList, LVM_ENSUREVISIBLE, count - 1, FALSE);
    } else if (CurrentTraceState != TraceState::Stopped) {
        RepaintOpenDurations();
    }
    ShowEventsTitle(sinceStart, dropped);
}

static void ScheduleRefresh() {
    if (!EventsWindow || RefreshPending)
        return;
    DWORD since = GetTickCount() - LastRefresh;
    if (since >= static_cast<DWORD>(kRefreshMs)) {
        RefreshEventList();
        return;
    }
    RefreshPending = true;
    SetTimer(EventsWindow, kRefreshTimerId, kRefreshMs - since, nullptr);
}

void NoteTraceEvents() {
    LockEchoStatistics();
    uint32_t version = TraceEventsVersion();
    if (version == SeenVersion) {
        UnlockEchoStatistics();
        return;
    }
    SeenVersion = version;
    uint32_t sinceStart = TraceEventsSinceStart();
    if (sinceStart < AlertedThrough) // the log was cleared for a new trace
        AlertedThrough = 0;
    bool silent = false;
    int count = TraceEventCount();
    uint32_t fresh = sinceStart - AlertedThrough;
    for (int i = fresh < static_cast<uint32_t>(count) ? count - static_cast<int>(fresh) : 0;
         i < count; i++)
        silent = silent || TraceEventAt(i).Kind == TraceEventKind::DestinationSilent;
    AlertedThrough = sinceStart;
    UnlockEchoStatistics();
    if (silent && (Preferences.AlertSilent & 1) && CurrentTraceState != TraceState::Stopped)
        AlertDestinationSilent();
    ScheduleRefresh();
}

void NoteTraceEventsRestored() {
    LockEchoStatistics();
    SeenVersion = TraceEventsVersion();
    AlertedThrough = TraceEventsSinceStart();
    UnlockEchoStatistics();
    if (EventsWindow)
        RefreshEventList();
}

// One cell's text, read from the log as the list view asks for it.
static void FillEventCell(int index, int column, char* text, int size) {
    if (size <= 0)
        return;
    text[0] = '\0';
    uint32_t now = TraceEndSecond(); // takes the lock itself
    static TraceEvent event;         // a copy, so that the text is made outside the lock
    LockEchoStatistics();
    bool kept = index >= 0 && index < TraceEventCount();
    if (kept)
        event = TraceEventAt(index);
    UnlockEchoStatistics();
    if (!kept)
        return;
    switch (column) {
    case 0:
        FormatEventClock(event.StartSecond, text, size);
        break;
    case 1:
        FormatText(text, size, "%d", HopNumber(event.Hop, Settings.IgnoreFirst));
        break;
    case 2:
        FormatEventText(event, text, size);
        break;
    case 3:
        FormatEventDuration(event, now, text, size);
        break;
    }
}

bool ShowEventInGraph(int index) {
    LockEchoStatistics();
    bool kept = index >= 0 && index < TraceEventCount();
    int hop = kept ? TraceEventAt(index).Hop : -1;
    uint32_t second = kept ? TraceEventAt(index).StartSecond : 0;
    UnlockEchoStatistics();
    if (hop < 0 || hop >= HopCount || !HopList[hop])
        return false;
    ShowHopInGraph(hop, second);
    return true;
}

static int SelectedEvent() {
    return static_cast<int>(SendMessageA(EventList, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
}

static LRESULT OnEventsNotify(const NMHDR* header) {
    if (header->hwndFrom != EventList)
        return 0;
    switch (header->code) {
    case LVN_GETDISPINFOA: {
        LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(const_cast<NMHDR*>(header))->item;
        if (item.mask & LVIF_TEXT)
            FillEventCell(item.iItem, item.iSubItem, item.pszText, item.cchTextMax);
        return 0;
    }
    case NM_DBLCLK:
        ShowEventInGraph(reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem);
        return 0;
    }
    return 0;
}

// The list's menu: its CSV saved, or the event under it shown in the graph.
static void OnEventsContextMenu(int x, int y) {
    if (x == -1 && y == -1) { // from the keyboard: at the list's corner
        RECT r;
        GetWindowRect(EventList, &r);
        x = r.left, y = r.top;
    }
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    int selected = SelectedEvent();
    AppendMenuA(menu, MF_STRING | (selected >= 0 ? 0 : MF_GRAYED), kCommandShowInGraph,
                "Show in the &graph");
    AppendMenuA(menu, MF_STRING | (ShownCount > 0 ? 0 : MF_GRAYED), kCommandSave,
                "&Save as CSV...");
    int command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, EventsWindow,
                                 nullptr);
    DestroyMenu(menu);
    if (command == kCommandShowInGraph)
        ShowEventInGraph(selected);
    else if (command == kCommandSave)
        SaveEventsAs();
}

static void SetListColumns() {
    for (int n = 0; n < kEventColumnCount; n++)
        SendMessageA(EventList, LVM_SETCOLUMNWIDTH, n,
                     ScaleToDpi(kEventColumns[n].width, ListDpi));
}

static void UseEventsDpi(int dpi) {
    ListDpi = dpi;
    if (HFONT font = CreateMessageFontForDpi(dpi)) {
        if (EventList)
            SendMessageA(EventList, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        if (ListFont)
            DeleteObject(ListFont);
        ListFont = font;
    }
}

static void OnEventsDestroyed() {
    KeepEventsPlacement(EventsWindow);
    KillTimer(EventsWindow, kRefreshTimerId);
    KillTimer(EventsWindow, kTickTimerId);
    EventsWindow = EventList = nullptr;
    if (ListFont)
        DeleteObject(ListFont);
    ListFont = nullptr;
    RefreshPending = false;
    ShownCount = 0;
    ShownTitle[0] = '\0';
}

static LRESULT CALLBACK EventsWindowProc(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        if (EventList)
            MoveWindow(EventList, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        if (EventList)
            SetFocus(EventList);
        return 0;
    case WM_NOTIFY:
        return OnEventsNotify(reinterpret_cast<const NMHDR*>(lParam));
    case WM_CONTEXTMENU:
        OnEventsContextMenu(static_cast<short>(LOWORD(lParam)),
                            static_cast<short>(HIWORD(lParam)));
        return 0;
    case WM_TIMER:
        if (wParam == kRefreshTimerId)
            KillTimer(window, kRefreshTimerId);
        RefreshEventList();
        return 0;
    case WM_DPICHANGED: {
        const RECT* r = reinterpret_cast<const RECT*>(lParam);
        UseEventsDpi(LOWORD(wParam));
        SetListColumns();
        SetWindowPos(window, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_DESTROY:
        OnEventsDestroyed();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static void RegisterEventsClass() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    if (GetClassInfoExA(ProgramInstance, kEventsClass, &windowClass))
        return;
    windowClass.lpfnWndProc = EventsWindowProc;
    windowClass.hInstance = ProgramInstance;
    windowClass.hIcon = LoadIconA(ProgramInstance, MAKEINTRESOURCEA(IDI_ROUTELARK));
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kEventsClass;
    RegisterClassExA(&windowClass);
}

static bool CreateEventList() {
    RECT client;
    GetClientRect(EventsWindow, &client);
    EventList = CreateWindowExA(0, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                    LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                                0, 0, client.right, client.bottom, EventsWindow, nullptr,
                                ProgramInstance, nullptr);
    if (!EventList)
        return false;
    SendMessageA(EventList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    for (int n = 0; n < kEventColumnCount; n++) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = kEventColumns[n].right && n > 0 ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = ScaleToDpi(kEventColumns[n].width, ListDpi);
        column.pszText = const_cast<char*>(kEventColumns[n].title);
        column.iSubItem = n;
        SendMessageA(EventList, LVM_INSERTCOLUMNA, n, reinterpret_cast<LPARAM>(&column));
    }
    if (ListFont)
        SendMessageA(EventList, WM_SETFONT, reinterpret_cast<WPARAM>(ListFont), FALSE);
    return true;
}

void OpenEventsWindow() {
    if (EventsWindow) {
        if (IsIconic(EventsWindow))
            ShowWindow(EventsWindow, SW_RESTORE);
        SetForegroundWindow(EventsWindow);
        RefreshEventList();
        return;
    }
    RegisterEventsClass();
    RECT r = EventsOpeningRect();
    UseEventsDpi(MainWindowDpi);
    // Owned by the main window, as the graph is: above it, and closed with it.
    EventsWindow = CreateWindowExA(0, kEventsClass, "Events", WS_POPUP | WS_OVERLAPPEDWINDOW,
                                   r.left, r.top, r.right - r.left, r.bottom - r.top, MainWindow,
                                   nullptr, ProgramInstance, nullptr);
    if (!EventsWindow)
        return;
    int dpi = WindowDpiOr(EventsWindow, ListDpi);
    if (dpi != ListDpi) // its kept place is on another screen
        UseEventsDpi(dpi);
    if (!CreateEventList()) {
        DestroyWindow(EventsWindow);
        return;
    }
    LockEchoStatistics();
    ShownVersion = TraceEventsVersion() - 1; // anything but the log's: the first refresh fills it
    UnlockEchoStatistics();
    ShownCount = 0;
    RefreshEventList();
    SetTimer(EventsWindow, kTickTimerId, kTickMs, nullptr);
    ShowWindow(EventsWindow, SW_SHOWNORMAL);
}

bool TakeEventsKey(const MSG& msg) {
    if (!EventsWindow || msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN ||
        GetAncestor(msg.hwnd, GA_ROOT) != EventsWindow)
        return false;
    ShowEventInGraph(SelectedEvent());
    return true;
}
