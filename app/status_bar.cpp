// The three-part status bar and its printf-style text, with the single-text simple mode.
#include "app/app.h"
#include "app/resource.h"
#include "common/bounded_text.h"
#include <commctrl.h>
#include <cstring>

HWND StatusBar;

enum { kSimpleModePart = 255 };

// What the status bar shows, so that a text it already shows is not set again: each change
// repaints it, and the ping cycle sets the same three texts at every echo to a lone hop.
static int ShownSimpleMode = -1; // unknown
static char ShownText[4][256];   // parts 0, 1, 2 and the simple text

void CreateStatusBar() {
    StatusBar =
        CreateStatusWindowA(WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, "", MainWindow, IDC_STATUS_BAR);
    SetStatusParts();
    ShownSimpleMode = -1;
    for (char* shown : ShownText)
        shown[0] = '\0';
    SetStatusText(kSimpleModePart, "Ready");
}

// The parts' right edges at 96 DPI; the last reaches the right border.
void SetStatusParts() {
    int edges[3] = {ScaleToMainWindow(48), ScaleToMainWindow(240), -1};
    SendMessageA(StatusBar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
}

void SetStatusText(int part, const char* format, ...) {
    static char text[256];
    if (!StatusBar)
        return;
    va_list arguments;
    va_start(arguments, format);
    FormatTextV(text, sizeof text, format, arguments);
    va_end(arguments);
    int simple = part == kSimpleModePart;
    if (simple != ShownSimpleMode) {
        SendMessageA(StatusBar, SB_SIMPLE, simple, 0);
        ShownSimpleMode = simple;
    }
    char* shown = simple ? ShownText[3] : part >= 0 && part <= 2 ? ShownText[part] : nullptr;
    if (shown && strcmp(shown, text) == 0)
        return;
    SendMessageA(StatusBar, SB_SETTEXTA, part, reinterpret_cast<LPARAM>(text));
    if (shown)
        CopyText(shown, sizeof ShownText[0], text);
}
