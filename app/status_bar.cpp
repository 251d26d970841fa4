// The three-part status bar and its printf-style text, with the single-text simple mode.
#include "app/app.h"
#include "app/resource.h"
#include "common/bounded_text.h"
#include <commctrl.h>

HWND StatusBar;

enum { kSimpleModePart = 255 };

void CreateStatusBar() {
    StatusBar =
        CreateStatusWindowA(WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, "", MainWindow, IDC_STATUS_BAR);
    int edges[3] = {48, 240, -1};
    SendMessageA(StatusBar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    SetStatusText(kSimpleModePart, "Ready");
}

void SetStatusText(int part, const char* format, ...) {
    static char text[256];
    if (!StatusBar)
        return;
    va_list arguments;
    va_start(arguments, format);
    FormatTextV(text, sizeof text, format, arguments);
    va_end(arguments);
    SendMessageA(StatusBar, SB_SIMPLE, part == kSimpleModePart, 0);
    SendMessageA(StatusBar, SB_SETTEXTA, part, reinterpret_cast<LPARAM>(text));
}
