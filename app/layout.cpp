// Layout of the main window: toolbar on top with the banner at its right end, the hop
// table below it and the status bar at the bottom.
#include "app/app.h"
#include "hoptable/hop_table.h"
#include <commctrl.h>

static int WindowHeight(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return r.bottom - r.top;
}

void LayoutMainWindow(int width, int height) {
    if (!ToolbarWindow || !HopTable || !BannerButton || !StatusBar)
        return;
    SendMessageA(ToolbarWindow, TB_AUTOSIZE, 0, 0);
    int toolbarHeight = WindowHeight(ToolbarWindow);
    RECT toolbarClient;
    GetClientRect(ToolbarWindow, &toolbarClient);
    // The banner's right edge 2 pixels in from the toolbar's, at 96 DPI.
    MoveWindow(BannerButton, toolbarClient.right - ScaleToMainWindow(kBannerWidth + 2),
               ScaleToMainWindow(2), ScaleToMainWindow(kBannerWidth),
               ScaleToMainWindow(kBannerHeight), TRUE);
    int statusHeight = WindowHeight(StatusBar);
    MoveWindow(StatusBar, 0, height - statusHeight, width, statusHeight, TRUE);
    MoveWindow(HopTable, 0, toolbarHeight, width, height - toolbarHeight - statusHeight, TRUE);
}
