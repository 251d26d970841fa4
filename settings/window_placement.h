// The main window's placement in the INI file's "Window" section.
#pragma once

// Reads the placement, moves and sizes the main window there on top of the z-order and
// shows it. A placement without area, or on no monitor at all, gives the default: 700 x 340 at
// 96 DPI, centred on the primary screen. One at least partly on screen is applied unchanged, in
// desktop pixels whatever the screen's DPI.
void PlaceMainWindow();
// Writes the main window's outer rectangle; a minimised or maximised window writes the
// rectangle it has when restored.
void SaveWindowPlacement();
