// The DPI a window is drawn at, and what is made for a DPI: fonts and the artwork's bitmaps.
#pragma once
#include <windows.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0 // Windows 8.1 on: the window moved to a screen of another DPI
#endif

// The DPI of the window: GetDpiForWindow where Windows has it (10, version 1607 on), else the
// logical pixels per inch of the screen (GetDeviceCaps, LOGPIXELSX), which is the system's DPI.
// A null window gives the system's DPI.
int WindowDpi(HWND window);
// The same where Windows can tell the window's DPI; else `unknown`, for a caller that knows
// better than the system's DPI (Windows 8.1 to 10 version 1511 move windows between screens of
// different DPIs but have no GetDpiForWindow).
int WindowDpiOr(HWND window, int unknown);

// The font of message boxes made for a DPI: SystemParametersInfoForDpi where Windows has it, else
// the system's message font scaled from the system's DPI. The caller deletes it; null on failure.
HFONT CreateMessageFontForDpi(int dpi);

// One piece of artwork, drawn at 100%, 150% and 200% as the bitmap resources `ids`: `images`
// images of width x height at 100%, side by side.
struct ScaledArtwork {
    int ids[3];
    int width, height;
    int images;
};
// The resource id of the drawing that is exactly the size the DPI needs, or 0 when none is.
int ExactArtworkId(const ScaledArtwork& art, int dpi);
// A bitmap of the artwork at the size the DPI needs: the drawing at the nearest size at or above,
// shrunk with HALFTONE where it is not that size (enlarged above 200%). With mapToButtonColours,
// its four grays become the system's button colours first, as a toolbar maps its own bitmaps.
// The caller deletes it; null on failure.
HBITMAP LoadArtworkForDpi(HINSTANCE instance, const ScaledArtwork& art, int dpi,
                          bool mapToButtonColours = false);
