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
    MoveWindow(BannerButton, toolbarClient.right - 162, 2, 160, 30, TRUE);
    int statusHeight = WindowHeight(StatusBar);
    MoveWindow(StatusBar, 0, height - statusHeight, width, statusHeight, TRUE);
    MoveWindow(HopTable, 0, toolbarHeight, width, height - toolbarHeight - statusHeight, TRUE);
}
