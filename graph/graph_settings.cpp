// The graph's section of the INI file: read when the graph first opens in a run, written at
// shutdown only if it did open, so that a run without the graph leaves the file as it was.
#include "app/app.h"
#include "graph/graph.h"
#include "graph/graph_metrics.h"
#include "graph/graph_settings.h"
#include "graph/graph_view.h"
#include "settings/ini_file.h"
#include "settings/ini_lock.h"
#include "settings/window_placement.h"
#include <algorithm>

static const char kGraphSection[] = "Graph";

// Known once the graph has opened in this run.
static struct {
    bool known;
    RECT rect;
    int span;
} Kept;

static int ReadGraphValue(const char* key, int fallback) {
    return static_cast<int>(GetPrivateProfileIntA(kGraphSection, key, fallback, kIniFileName));
}

// Beside the main window's corner, moved and cut to fit in its monitor's work area.
static RECT DefaultGraphRect() {
    RECT main;
    GetWindowRect(MainWindow, &main);
    RECT r = {main.left + ScaleToMainWindow(kGraphOffset),
              main.top + ScaleToMainWindow(kGraphOffset), 0, 0};
    r.right = r.left + ScaleToMainWindow(kGraphDefaultWidth);
    r.bottom = r.top + ScaleToMainWindow(kGraphDefaultHeight);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(MainWindow, MONITOR_DEFAULTTONEAREST), &monitor))
        return r;
    const RECT& work = monitor.rcWork;
    int width = std::min<int>(r.right - r.left, work.right - work.left);
    int height = std::min<int>(r.bottom - r.top, work.bottom - work.top);
    int x = std::max<int>(work.left, std::min<int>(r.left, work.right - width));
    int y = std::max<int>(work.top, std::min<int>(r.top, work.bottom - height));
    return {x, y, x + width, y + height};
}

static void ReadGraphSection() {
    RECT fallback = DefaultGraphRect();
    int x, y, width, height;
    {
        IniFileLock lock;
        x = ReadGraphValue("Xpos", fallback.left);
        y = ReadGraphValue("Ypos", fallback.top);
        width = ReadGraphValue("Width", fallback.right - fallback.left);
        height = ReadGraphValue("Height", fallback.bottom - fallback.top);
        Kept.span = ReadGraphValue("Span", static_cast<int>(GraphSpan::TenMinutes));
    }
    Kept.rect = {x, y, x + width, y + height};
    if (!PlacementOnSomeMonitor(x, y, width, height))
        Kept.rect = fallback;
    if (Kept.span < 0 || Kept.span >= kGraphSpanCount)
        Kept.span = static_cast<int>(GraphSpan::TenMinutes);
    Kept.known = true;
}

RECT GraphOpeningRect() {
    if (!Kept.known)
        ReadGraphSection();
    return Kept.rect;
}

GraphSpan GraphOpeningSpan() {
    if (!Kept.known)
        ReadGraphSection();
    return static_cast<GraphSpan>(Kept.span);
}

void KeepGraphPlacement(HWND window) {
    Kept.rect = PlacementToKeep(window);
    Kept.span = static_cast<int>(GraphView.span);
}

void SaveGraphSettings() {
    if (!Kept.known)
        return;
    if (GraphWindow)
        KeepGraphPlacement(GraphWindow);
    const RECT& r = Kept.rect;
    WritePrivateProfileStringA(kGraphSection, "Xpos", IntToText(r.left), kIniFileName);
    WritePrivateProfileStringA(kGraphSection, "Ypos", IntToText(r.top), kIniFileName);
    WritePrivateProfileStringA(kGraphSection, "Width", IntToText(r.right - r.left), kIniFileName);
    WritePrivateProfileStringA(kGraphSection, "Height", IntToText(r.bottom - r.top), kIniFileName);
    WritePrivateProfileStringA(kGraphSection, "Span", IntToText(Kept.span), kIniFileName);
    Kept = {}; // the program's last save: a start in this process reads the file again
}
