// The main window: its class, its creation and the dispatch of its window procedure.
#include "app/app.h"
#include "app/event_routing.h"
#include "app/resource.h"
#include "asn/asn.h"
#include "dpi/dpi_rules.h"
#include "dpi/window_dpi.h"
#include "graph/graph.h"
#include "hoptable/hop_table.h"
#include "hoptable/route_mark.h"
#include "session/session.h"
#include "trace/event_watch.h"
#include "trace/route_names.h"
#include "trace/trace.h"

HWND MainWindow;
int MainWindowDpi = kBaseDpi;

int ScaleToMainWindow(int pixelsAt96) {
    return ScaleToDpi(pixelsAt96, MainWindowDpi);
}

SIZE DefaultWindowSize() {
    SIZE size = {ScaleToMainWindow(kDefaultWindowWidth), ScaleToMainWindow(kDefaultWindowHeight)};
    return size;
}

POINT DefaultWindowOrigin() {
    SIZE size = DefaultWindowSize();
    POINT origin = {(GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2,
                    (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2};
    return origin;
}

HWND CreateMainWindow() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = ProgramInstance;
    windowClass.hIcon = LoadIconA(ProgramInstance, MAKEINTRESOURCEA(IDI_ROUTELARK));
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MAIN_MENU);
    windowClass.lpszClassName = "Routelark";
    RegisterClassExA(&windowClass);
    MainWindowDpi = WindowDpi(nullptr);
    POINT origin = DefaultWindowOrigin();
    MainWindow = CreateWindowExA(0, "Routelark", "Routelark",
                                 WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, origin.x,
                                 origin.y, 0, 0, nullptr, nullptr, ProgramInstance, nullptr);
    if (MainWindow)
        MainWindowDpi = WindowDpi(MainWindow);
    return MainWindow;
}

// The ping cycle's pause: ended by a tick of any id, so other timers here need a TIMERPROC.
static void OnPingTimer(WPARAM wParam, LPARAM lParam) {
    KillTimer(MainWindow, kPingTimerId);
    SendMessageA(MainWindow, MSG_PING_NEXT, wParam, lParam);
}

static void OnMainWindowDestroyed() {
    ShutdownProgram();
    MainWindow = nullptr;
    PostQuitMessage(0);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case MSG_TRACE_RESOLVED:
    case MSG_TRACE_PROBE:
    case MSG_TRACE_HOPNAME:
    case MSG_PING_REPLY:
    case MSG_PING_NEXT:
        return RouteTraceMessage(ActiveHandlers(), message, wParam, lParam);
    case MSG_AS_ANSWER:
        OnAsAnswer(wParam, lParam);
        return 0;
    case MSG_PING_ROUND:
        OnPingRoundNotice(message, wParam, lParam);
        return 0;
    case MSG_ROUTE_CHANGE:
        OnRouteChange(wParam, lParam);
        return 0;
    case MSG_ROUTE_NAME:
        OnRouteName(wParam, lParam);
        return 0;
    case WM_TIMER:
        OnPingTimer(wParam, lParam);
        return 0;
    case WM_DESTROY:
        OnMainWindowDestroyed();
        return 0;
    case WM_SIZE:
        LayoutMainWindow(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_NOTIFY: {
        NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom == HopTable && HopTable && header->code == NM_CUSTOMDRAW)
            return DrawRouteChangedRows(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
        if (header->hwndFrom == HopTable && HopTable)
            FollowHopTable(header);
        else
            GetTooltipText(header);
        return 0;
    }
    case WM_COMMAND:
        RunCommand(LOWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_DROPFILES:
        OpenDroppedSession(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
