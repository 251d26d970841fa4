// Where the main window opens: the placement it had when the program last ended.
#include "settings/window_placement.h"
#include "app/app.h"
#include "settings/ini_file.h"
#include "settings/layout_rules.h"

static const char kWindowSection[] = "Window";

static int ReadWindowValue(const char* key, int fallback) {
    return static_cast<int>(GetPrivateProfileIntA(kWindowSection, key, fallback, kIniFileName));
}

bool PlacementOnSomeMonitor(int x, int y, int width, int height) {
    if (!PlacementHasArea(x, y, width, height))
        return false;
    RECT r = {x, y, x + width, y + height};
    return MonitorFromRect(&r, MONITOR_DEFAULTTONULL) != nullptr;
}

static bool HasRectangle(int x, int y, int width, int height) {
    RECT r;
    GetWindowRect(MainWindow, &r);
    return r.left == x && r.top == y && r.right - r.left == width && r.bottom - r.top == height;
}

void PlaceMainWindow() {
    POINT origin = DefaultWindowOrigin();
    SIZE size = DefaultWindowSize();
    int x = ReadWindowValue("Xpos", origin.x);
    int y = ReadWindowValue("Ypos", origin.y);
    int width = ReadWindowValue("Width", size.cx);
    int height = ReadWindowValue("Height", size.cy);
    if (!PlacementOnSomeMonitor(x, y, width, height)) {
        x = origin.x, y = origin.y;
        width = size.cx, height = size.cy;
    }
    SetWindowPos(MainWindow, HWND_TOP, x, y, width, height, SWP_SHOWWINDOW);
    // On a screen of another DPI than the one it was made on, the move took the rectangle that
    // Windows suggests for that DPI: the placement is in desktop pixels and is kept as it was.
    if (!HasRectangle(x, y, width, height))
        SetWindowPos(MainWindow, HWND_TOP, x, y, width, height, SWP_SHOWWINDOW);
}

// The rectangle the window has when restored, in screen coordinates. The window placement
// gives it in workspace coordinates, which start at the work area of its monitor.
static RECT RestoredRectangle(HWND window) {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    RECT r = placement.rcNormalPosition;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoA(MonitorFromRect(&r, MONITOR_DEFAULTTOPRIMARY), &monitor))
        OffsetRect(&r, monitor.rcWork.left - monitor.rcMonitor.left,
                   monitor.rcWork.top - monitor.rcMonitor.top);
    return r;
}

RECT PlacementToKeep(HWND window) {
    RECT r;
    if (IsIconic(window) || IsZoomed(window))
        r = RestoredRectangle(window); // not -32000, nor the whole screen
    else
        GetWindowRect(window, &r);
    return r;
}

void SaveWindowPlacement() {
    RECT r = PlacementToKeep(MainWindow);
    WritePrivateProfileStringA(kWindowSection, "Xpos", IntToText(r.left), kIniFileName);
    WritePrivateProfileStringA(kWindowSection, "Ypos", IntToText(r.top), kIniFileName);
    WritePrivateProfileStringA(kWindowSection, "Width", IntToText(r.right - r.left), kIniFileName);
    WritePrivateProfileStringA(kWindowSection, "Height", IntToText(r.bottom - r.top), kIniFileName);
}
