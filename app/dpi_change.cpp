// A move to a screen of another DPI: the main window's controls made again for it.
#include "app/app.h"
#include "app/resource.h"
#include "dpi/dpi_rules.h"
#include "dpi/window_dpi.h"
#include "hoptable/hop_table.h"
#include <initializer_list>

// The controls' font and the window's icons for the DPI it moved to; until the first move, the
// controls have their own fonts and the window its class's icons.
static HFONT ControlFont;
static HICON WindowIcons[2]; // small, big

static void SetControlFont(int dpi) {
    HFONT font = CreateMessageFontForDpi(dpi);
    if (!font)
        return;
    for (HWND control : {HostBox, StatusBar, HopTable})
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageA(StatusBar, WM_SIZE, 0, 0); // a status bar takes its font's height when sized
    DeleteControlFont();                    // no control holds it any longer
    ControlFont = font;
}

// The icon's drawing nearest to 16 and 32 pixels at 96 DPI, scaled, picked by Windows.
static void SetWindowIcons(int dpi) {
    const int sizes[2] = {16, 32};
    const WPARAM kinds[2] = {ICON_SMALL, ICON_BIG};
    for (int i = 0; i < 2; i++) {
        int size = ScaleToDpi(sizes[i], dpi);
        HICON icon = static_cast<HICON>(LoadImageA(ProgramInstance, MAKEINTRESOURCEA(IDI_ROUTELARK),
                                                   IMAGE_ICON, size, size, 0));
        if (!icon)
            continue;
        SendMessageA(MainWindow, WM_SETICON, kinds[i], reinterpret_cast<LPARAM>(icon));
        if (WindowIcons[i])
            DestroyIcon(WindowIcons[i]);
        WindowIcons[i] = icon;
    }
}

void OnDpiChanged(int dpi, const RECT* suggested) {
    if (dpi <= 0)
        return;
    int previous = MainWindowDpi;
    MainWindowDpi = dpi;
    SetControlFont(dpi);
    SetWindowIcons(dpi);
    RecreateToolbar();
    SizeHostBox();
    LoadBannerBitmap();
    SetStatusParts();
    RescaleHopTable(previous, dpi);
    if (suggested)
        SetWindowPos(MainWindow, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client; // laid out also when the window keeps its size
    GetClientRect(MainWindow, &client);
    LayoutMainWindow(client.right, client.bottom);
    RedrawWindow(MainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void DeleteControlFont() {
    if (ControlFont)
        DeleteObject(ControlFont);
    ControlFont = nullptr;
}

void DestroyWindowIcons() {
    for (HICON& icon : WindowIcons) {
        if (icon)
            DestroyIcon(icon);
        icon = nullptr;
    }
}
