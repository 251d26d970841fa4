// The toolbar: its buttons, their tooltips, and the Start/Stop swap of a running trace.
#include "app/app.h"
#include "app/resource.h"
#include "common/bounded_text.h"
#include "dpi/dpi_rules.h"
#include "dpi/window_dpi.h"
#include "settings/settings.h"
#include <commctrl.h>

HWND ToolbarWindow;
static HBITMAP ToolbarBitmap; // the artwork shrunk for a DPI none of its drawings fits, or null

enum {
    kLeadingSeparators = 39,
    kToolbarButtonCount = 48,
    kToolbarImageCount = 7,
    kButtonSize = 24,
    kSeparatorWidth = 8 // the common controls' own width of a separator
};

static const ScaledArtwork kToolbarArtwork = {
    {IDB_TOOLBAR, IDB_TOOLBAR_150, IDB_TOOLBAR_200}, kButtonSize, kButtonSize, kToolbarImageCount};

// The separators in front reserve the room in which the host name box sits. At 96 DPI they
// keep the control's own width (0), as they always had; elsewhere it is scaled.
static void FillToolbarButtons(TBBUTTON* buttons, int dpi) {
    for (int i = 0; i < kToolbarButtonCount; i++) {
        buttons[i] = TBBUTTON{};
        buttons[i].fsStyle = TBSTYLE_SEP;
        buttons[i].iBitmap = dpi == kBaseDpi ? 0 : ScaleToDpi(kSeparatorWidth, dpi);
    }
    // After the leading separators: Start, Stop, |, Copy, WhoIs, Setup, Help, |, Exit.
    struct {
        int entry, image, command;
    } const pushButtons[] = {
        {0, 0, IDM_START}, {1, 1, IDM_STOP}, {3, 2, IDM_COPY}, {4, 3, IDM_WHOIS},
        {5, 4, IDM_SETUP}, {6, 5, IDM_HELP}, {8, 6, IDM_EXIT},
    };
    for (const auto& b : pushButtons) {
        TBBUTTON& button = buttons[kLeadingSeparators + b.entry];
        button.iBitmap = b.image;
        button.idCommand = b.command;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = TBSTYLE_BUTTON;
    }
}

// A button is its image and the control's own margin around it (its padding), which the control
// keeps at its 96-DPI size: the whole button is made the size it has at 96 DPI, scaled, so that
// the banner beside the buttons still fits the toolbar.
static void SizeButtonsForDpi(HWND toolbar, int dpi) {
    DWORD padding = static_cast<DWORD>(SendMessageA(toolbar, TB_GETPADDING, 0, 0));
    SendMessageA(toolbar, TB_SETBUTTONSIZE, 0,
                 MAKELPARAM(ScaleToDpi(kButtonSize + LOWORD(padding), dpi),
                            ScaleToDpi(kButtonSize + HIWORD(padding), dpi)));
}

// The button images come from the drawing of the size the DPI needs, which the toolbar loads and
// maps to the button colours itself; only where none fits is a shrunk copy handed over, kept in
// *shrunk as long as the toolbar lives.
static HWND CreateToolbarWindow(int dpi, HBITMAP* shrunk) {
    TBBUTTON buttons[kToolbarButtonCount];
    FillToolbarButtons(buttons, dpi);
    HINSTANCE instance = ProgramInstance;
    UINT_PTR bitmap = static_cast<UINT_PTR>(ExactArtworkId(kToolbarArtwork, dpi));
    *shrunk = nullptr;
    if (!bitmap) {
        *shrunk = LoadArtworkForDpi(ProgramInstance, kToolbarArtwork, dpi, true);
        instance = nullptr;
        bitmap = reinterpret_cast<UINT_PTR>(*shrunk);
    }
    int size = ScaleToDpi(kButtonSize, dpi);
    HWND toolbar = CreateToolbarEx(MainWindow, WS_CHILD | WS_VISIBLE | WS_BORDER | TBSTYLE_TOOLTIPS,
                                   IDC_TOOLBAR, kToolbarImageCount, instance, bitmap, buttons,
                                   kToolbarButtonCount, size, size, size, size, sizeof(TBBUTTON));
    if (dpi != kBaseDpi)
        SizeButtonsForDpi(toolbar, dpi);
    SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
    return toolbar;
}

void CreateToolbar() {
    ToolbarWindow = CreateToolbarWindow(MainWindowDpi, &ToolbarBitmap);
    ShowTraceControls(0);
}

void RecreateToolbar() {
    HWND old = ToolbarWindow;
    int running = SendMessageA(old, TB_ISBUTTONHIDDEN, IDM_START, 0) ? 1 : 0;
    HBITMAP shrunk;
    ToolbarWindow = CreateToolbarWindow(MainWindowDpi, &shrunk);
    SetParent(HostBox, ToolbarWindow);
    SetParent(BannerButton, ToolbarWindow);
    DestroyWindow(old);
    DeleteToolbarBitmap();
    ToolbarBitmap = shrunk;
    ShowTraceControls(running);
}

void DeleteToolbarBitmap() {
    if (ToolbarBitmap)
        DeleteObject(ToolbarBitmap);
    ToolbarBitmap = nullptr;
}

void ShowTraceControls(int running) {
    SendMessageA(ToolbarWindow, TB_HIDEBUTTON, IDM_STOP, MAKELONG(!running, 0));
    SendMessageA(ToolbarWindow, TB_HIDEBUTTON, IDM_START, MAKELONG(running, 0));
    HMENU menu = GetMenu(MainWindow);
    EnableMenuItem(menu, IDM_STOP, MF_BYCOMMAND | (running ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, IDM_START, MF_BYCOMMAND | (running ? MF_GRAYED : MF_ENABLED));
}

static const char* TooltipFor(UINT_PTR command) {
    switch (command) {
    case IDM_START:
        return "Start trace";
    case IDM_STOP:
        return "Stop trace";
    case IDM_COPY:
        return Settings.CopyHTML ? "Copy trace to clipboard (HTML format)"
                                 : "Copy trace to clipboard";
    case IDM_WHOIS:
        return "WhoIs lookup";
    case IDM_SETUP:
        return "Setup";
    case IDM_HELP:
        return "Help";
    case IDM_EXIT:
        return "Exit";
    }
    return "Dunno";
}

void GetTooltipText(NMHDR* notification) {
    if (notification->code != TTN_NEEDTEXTA)
        return;
    NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(notification);
    CopyText(info->szText, sizeof info->szText, TooltipFor(info->hdr.idFrom));
}
