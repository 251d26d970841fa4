// The Events window's section of the INI file, "EventsWindow": read when the window first opens
// in a run, written at shutdown only if it did open, so that a run without it leaves the file as
// it was.
#include "app/app.h"
#include "events/events_view.h"
#include "settings/ini_file.h"
#include "settings/ini_lock.h"
#include "settings/window_placement.h"
#include <algorithm>

static const char kEventsSection[] = "EventsWindow";
// Where it opens without a kept place: below and right of the graph's default corner, so that
// the two opened together both show; its size at 96 DPI.
enum { kEventsOffset = 80, kEventsDefaultWidth = 760, kEventsDefaultHeight = 300 };

static struct {
    bool known;
    RECT rect;
} Kept;

static RECT DefaultEventsRect() {
    RECT main;
    GetWindowRect(MainWindow, &main);
    RECT r = {main.left + ScaleToMainWindow(kEventsOffset),
              main.top + ScaleToMainWindow(kEventsOffset), 0, 0};
    r.right = r.left + ScaleToMainWindow(kEventsDefaultWidth);
    r.bottom = r.top + ScaleToMainWindow(kEventsDefaultHeight);
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

static int ReadEventsValue(const char* key, int fallback) {
    return static_cast<int>(GetPrivateProfileIntA(kEventsSection, key, fallback, kIniFileName));
}

RECT EventsOpeningRect() {
    if (Kept.known)
        return Kept.rect;
    RECT fallback = DefaultEventsRect();
    int x, y, width, height;
    {
        IniFileLock lock;
        x = ReadEventsValue("Xpos", fallback.left);
        y = ReadEventsValue("Ypos", fallback.top);
        width = ReadEventsValue("Width", fallback.right - fallback.left);
        height = ReadEventsValue("Height", fallback.bottom - fallback.top);
    }
    Kept.rect = {x, y, x + width, y + height};
    if (!PlacementOnSomeMonitor(x, y, width, height))
        Kept.rect = fallback;
    Kept.known = true;
    return Kept.rect;
}

void KeepEventsPlacement(HWND window) {
    Kept.rect = PlacementToKeep(window);
    Kept.known = true;
}

void SaveEventsSettings() {
    if (!Kept.known)
        return;
    if (EventsWindow)
        KeepEventsPlacement(EventsWindow);
    const RECT& r = Kept.rect;
    WritePrivateProfileStringA(kEventsSection, "Xpos", IntToText(r.left), kIniFileName);
    WritePrivateProfileStringA(kEventsSection, "Ypos", IntToText(r.top), kIniFileName);
    WritePrivateProfileStringA(kEventsSection, "Width", IntToText(r.right - r.left), kIniFileName);
    WritePrivateProfileStringA(kEventsSection, "Height", IntToText(r.bottom - r.top),
                               kIniFileName);
    Kept = {}; // the program's last save: a start in this process reads the file again
}
