// The main window's placement in the INI file's "Window" section.
#pragma once
#include <windows.h>

// Reads the placement, moves and sizes the main window there on top of the z-order and
// shows it. A placement without area, or on no monitor at all, gives the default: 700 x 340 at
// 96 DPI, centred on the primary screen. One at least partly on screen is applied unchanged, in
// desktop pixels whatever the screen's DPI.
void PlaceMainWindow();
// Writes the main window's outer rectangle; a minimised or maximised window writes the
// rectangle it has when restored.
void SaveWindowPlacement();

// Whether a placement has area and lies at least partly on a monitor.
bool PlacementOnSomeMonitor(int x, int y, int width, int height);
// The rectangle to keep for a window: its outer rectangle, or the one it has when restored while
// it is minimised or maximised, in screen coordinates.
RECT PlacementToKeep(HWND window);
