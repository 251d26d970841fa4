// The Setup dialog: the Settings record in six boxes and two check boxes.
#include "app/resource.h"
#include "settings/dialogs.h"
#include "settings/settings.h"

struct SetupBox {
    int id;
    int SettingsRecord::*field;
};

static const SetupBox kNumberBoxes[] = {
    {IDC_SETUP_PING_TIMEOUT, &SettingsRecord::PingTimeout},
    {IDC_SETUP_TRACE_DELAY, &SettingsRecord::TraceDelay},
    {IDC_SETUP_PING_DELAY, &SettingsRecord::PingDelay},
    {IDC_SETUP_TRACE_TTL, &SettingsRecord::TraceTTL},
    {IDC_SETUP_MAX_HOPS, &SettingsRecord::MaxHops},
    {IDC_SETUP_RETRIES, &SettingsRecord::Retries},
};

static const SetupBox kCheckBoxes[] = {
    {IDC_SETUP_IGNORE_FIRST, &SettingsRecord::IgnoreFirst},
    {IDC_SETUP_COPY_HTML, &SettingsRecord::CopyHTML},
};

static void OnSetupInit(HWND dialog) {
    CentreOnDesktop(dialog);
    for (const SetupBox& box : kNumberBoxes)
        SetDlgItemInt(dialog, box.id, static_cast<UINT>(Settings.*box.field), FALSE);
    for (const SetupBox& box : kCheckBoxes)
        SendDlgItemMessageA(dialog, box.id, BM_SETCHECK, Settings.*box.field & 1, 0);
}

// Every box is taken as it reads: no number reads as 0, and one above 2147483647 turns
// negative; the clamp then replaces whatever lies outside its range.
static void OnSetupOk(HWND dialog) {
    for (const SetupBox& box : kNumberBoxes)
        Settings.*box.field = static_cast<int>(GetDlgItemInt(dialog, box.id, nullptr, FALSE));
    for (const SetupBox& box : kCheckBoxes)
        Settings.*box.field =
            static_cast<int>(SendDlgItemMessageA(dialog, box.id, BM_GETCHECK, 0, 0) & 1);
    ClampSettings();
    PostMessageA(dialog, WM_CLOSE, 0, 1);
}

static void OnSetupCommand(HWND dialog, int command) {
    if (command == IDOK)
        OnSetupOk(dialog);
    else if (command == IDCANCEL)
        PostMessageA(dialog, WM_CLOSE, 0, 0);
}

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnSetupInit(dialog);
        return TRUE; // the focus goes to the first box
    case WM_COMMAND:
        OnSetupCommand(dialog, LOWORD(wParam));
        return TRUE;
    case WM_CLOSE: // lParam 1 after OK; 0 from Cancel and from the close box
        EndDialog(dialog, lParam);
        return TRUE;
    }
    return FALSE;
}
