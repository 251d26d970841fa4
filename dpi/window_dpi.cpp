// The DPI of windows, taken from Windows' newer calls where they exist and from the screen's
// logical pixels otherwise, so that the program still starts on older Windows; fonts and
// artwork bitmaps for a DPI.
#include "dpi/window_dpi.h"
#include "dpi/dpi_rules.h"
#include <commctrl.h>
#include <cstddef>
#include <cstring>

typedef UINT(WINAPI* DpiForWindowCall)(HWND);
typedef BOOL(WINAPI* ParametersForDpiCall)(UINT, UINT, PVOID, UINT, UINT);

// Looked up at each call: they are made only when a window opens or moves to another screen.
static void* User32Call(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<void*>(GetProcAddress(user32, name)) : nullptr;
}

static int SystemDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kBaseDpi;
}

int WindowDpiOr(HWND window, int unknown) {
    DpiForWindowCall dpiForWindow =
        reinterpret_cast<DpiForWindowCall>(User32Call("GetDpiForWindow"));
    int dpi = window && dpiForWindow ? static_cast<int>(dpiForWindow(window)) : 0;
    return dpi > 0 ? dpi : unknown; // 0: no such call, or no such window
}

int WindowDpi(HWND window) {
    return WindowDpiOr(window, SystemDpi());
}

// The newer call has no ANSI form: its font comes back in UTF-16.
static bool MessageFontFromWindows(int dpi, LOGFONTA* font) {
    ParametersForDpiCall parametersForDpi =
        reinterpret_cast<ParametersForDpiCall>(User32Call("SystemParametersInfoForDpi"));
    struct {
        NONCLIENTMETRICSW metrics;
        int paddedBorderWidth; // Windows Vista on; the call exists only where it is known
    } all = {};
    all.metrics.cbSize = sizeof all;
    if (!parametersForDpi ||
        !parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof all, &all, 0, static_cast<UINT>(dpi)))
        return false;
    const LOGFONTW& wide = all.metrics.lfMessageFont;
    memcpy(font, &wide, offsetof(LOGFONTA, lfFaceName)); // the same fields up to the face name
    if (!WideCharToMultiByte(CP_ACP, 0, wide.lfFaceName, -1, font->lfFaceName,
                             sizeof font->lfFaceName, nullptr, nullptr))
        font->lfFaceName[0] = '\0';
    return true;
}

HFONT CreateMessageFontForDpi(int dpi) {
    LOGFONTA font = {};
    if (!MessageFontFromWindows(dpi, &font)) {
        NONCLIENTMETRICSA metrics = {};
        metrics.cbSize = sizeof metrics;
        if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
            return nullptr;
        font = metrics.lfMessageFont;
        font.lfHeight = ScaleToDpi(ScaleFromDpi(font.lfHeight, SystemDpi()), dpi);
    }
    return CreateFontIndirectA(&font);
}

static const int kArtworkPercent[3] = {100, 150, 200};

static int DrawnWidth(const ScaledArtwork& art, int i) {
    return art.width * kArtworkPercent[i] / 100;
}

// Which of the three drawings to take, by the width of one image: the one the DPI needs.
static int PickArtwork(const ScaledArtwork& art, int dpi, int* needed) {
    int widths[3] = {DrawnWidth(art, 0), DrawnWidth(art, 1), DrawnWidth(art, 2)};
    *needed = ScaleToDpi(art.width, dpi);
    return PickArtworkSize(*needed, widths, 3);
}

int ExactArtworkId(const ScaledArtwork& art, int dpi) {
    int needed;
    int i = PickArtwork(art, dpi, &needed);
    return DrawnWidth(art, i) == needed ? art.ids[i] : 0;
}

// The drawing stretched with HALFTONE to width x height: shrunk, or enlarged above 200%.
static HBITMAP ResizeDrawing(HBITMAP drawing, int width, int height) {
    BITMAP from;
    if (!GetObjectA(drawing, sizeof from, &from))
        return nullptr;
    HDC screen = GetDC(nullptr);
    HDC source = CreateCompatibleDC(screen), target = CreateCompatibleDC(screen);
    HBITMAP resized = CreateCompatibleBitmap(screen, width, height);
    if (source && target && resized) {
        HGDIOBJ oldSource = SelectObject(source, drawing);
        HGDIOBJ oldTarget = SelectObject(target, resized);
        SetStretchBltMode(target, HALFTONE);
        SetBrushOrgEx(target, 0, 0, nullptr); // as HALFTONE asks
        StretchBlt(target, 0, 0, width, height, source, 0, 0, from.bmWidth, from.bmHeight, SRCCOPY);
        SelectObject(source, oldSource);
        SelectObject(target, oldTarget);
    }
    if (source)
        DeleteDC(source);
    if (target)
        DeleteDC(target);
    ReleaseDC(nullptr, screen);
    return resized;
}

HBITMAP LoadArtworkForDpi(HINSTANCE instance, const ScaledArtwork& art, int dpi,
                          bool mapToButtonColours) {
    int needed;
    int i = PickArtwork(art, dpi, &needed);
    HBITMAP drawing = mapToButtonColours ? CreateMappedBitmap(instance, art.ids[i], 0, nullptr, 0)
                                         : LoadBitmapA(instance, MAKEINTRESOURCEA(art.ids[i]));
    if (!drawing || DrawnWidth(art, i) == needed)
        return drawing;
    // A strip of images is resized as a whole: each image lands on its own multiple of `needed`.
    HBITMAP resized = ResizeDrawing(drawing, needed * art.images, ScaleToDpi(art.height, dpi));
    DeleteObject(drawing);
    return resized;
}
