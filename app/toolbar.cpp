// The toolbar: its buttons, their tooltips, and the Start/Stop swap of a running trace.
#include "app/app.h"
#include "app/resource.h"
#include "common/bounded_text.h"
#include "settings/settings.h"
#include <commctrl.h>

HWND ToolbarWindow;

enum {
    kLeadingSeparators = 39,
    kToolbarButtonCount = 48,
    kToolbarImageCount = 7,
    kButtonSize = 24
};

// The separators in front reserve the room in which the host name box sits.
static void FillToolbarButtons(TBBUTTON* buttons) {
    for (int i = 0; i < kToolbarButtonCount; i++) {
        buttons[i] = TBBUTTON{};
        buttons[i].fsStyle = TBSTYLE_SEP;
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

void CreateToolbar() {
    TBBUTTON buttons[kToolbarButtonCount];
    FillToolbarButtons(buttons);
    ToolbarWindow = CreateToolbarEx(
        MainWindow, WS_CHILD | WS_VISIBLE | WS_BORDER | TBSTYLE_TOOLTIPS, IDC_TOOLBAR,
        kToolbarImageCount, ProgramInstance, IDB_TOOLBAR, buttons, kToolbarButtonCount, kButtonSize,
        kButtonSize, kButtonSize, kButtonSize, sizeof(TBBUTTON));
    SendMessageA(ToolbarWindow, TB_AUTOSIZE, 0, 0);
    ShowTraceControls(0);
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
