// The opening place of the graph and the Events window, and their places in the INI file.
#include "settings/owned_window_place.h"
#include "app/app.h"
#include "settings/ini_file.h"
#include "settings/window_placement.h"
#include <algorithm>

RECT BesideMainWindow(int offset, int width, int height) {
    RECT main;
    GetWindowRect(MainWindow, &main);
    RECT r = {main.left + ScaleToMainWindow(offset), main.top + ScaleToMainWindow(offset), 0, 0};
    r.right = r.left + ScaleToMainWindow(width);
    r.bottom = r.top + ScaleToMainWindow(height);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(MainWindow, MONITOR_DEFAULTTONEAREST), &monitor))
        return r;
    const RECT& work = monitor.rcWork;
    int fitWidth = std::min<int>(r.right - r.left, work.right - work.left);
    int fitHeight = std::min<int>(r.bottom - r.top, work.bottom - work.top);
    int x = std::max<int>(work.left, std::min<int>(r.left, work.right - fitWidth));
    int y = std::max<int>(work.top, std::min<int>(r.top, work.bottom - fitHeight));
    return {x, y, x + fitWidth, y + fitHeight};
}

static int ReadPlaceValue(const char* section, const char* key, int fallback) {
    return static_cast<int>(GetPrivateProfileIntA(section, key, fallback, kIniFileName));
}

RECT ReadKeptPlace(const char* section, const RECT& fallback) {
    int x = ReadPlaceValue(section, "Xpos", fallback.left);
    int y = ReadPlaceValue(section, "Ypos", fallback.top);
    int width = ReadPlaceValue(section, "Width", fallback.right - fallback.left);
    int height = ReadPlaceValue(section, "Height", fallback.bottom - fallback.top);
    if (!PlacementOnSomeMonitor(x, y, width, height))
        return fallback;
    return {x, y, x + width, y + height};
}

void WriteKeptPlace(const char* section, const RECT& r) {
    WritePrivateProfileStringA(section, "Xpos", IntToText(r.left), kIniFileName);
    WritePrivateProfileStringA(section, "Ypos", IntToText(r.top), kIniFileName);
    WritePrivateProfileStringA(section, "Width", IntToText(r.right - r.left), kIniFileName);
    WritePrivateProfileStringA(section, "Height", IntToText(r.bottom - r.top), kIniFileName);
}
