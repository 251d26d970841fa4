// Where a window of its own beside the main window (the hop graph, the Events window) opens the
// first time, and its place kept in a section of the INI file as Xpos, Ypos, Width and Height.
#pragma once
#include <windows.h>

// offset right of and below the main window's corner, width by height, all given at 96 DPI and
// scaled to the main window's; moved and cut to fit in that monitor's work area.
RECT BesideMainWindow(int offset, int width, int height);
// The place kept in section, read inside the caller's IniFileLock; fallback for a key that is
// missing, and for a place with no area or on no monitor.
RECT ReadKeptPlace(const char* section, const RECT& fallback);
void WriteKeptPlace(const char* section, const RECT& place);
