// The modeless WhoIs dialog: domain and server boxes, the status line it polls every 500 ms,
// the animation while a query runs, the answer's output box, and Whois, Stop and Exit.
#include "app/app.h"
#include "app/resource.h"
#include "dpi/dpi_rules.h"
#include "dpi/window_dpi.h"
#include "settings/history.h"
#include "whois/whois.h"
#include "whois/whois_text.h"
#include <commctrl.h>

int WhoisAutoStart;

enum : UINT_PTR { kPollTimerId = 1 };
enum { kPollMs = 500, kFieldCapacity = 128 };

int ReduceToDomain() {
    if (!ReduceDomainText(WhoisDomainText))
        return 0;
    WhoisAutoStart = 0; // nothing left to ask about
    return 1;
}

void OpenWhoisDialog() {
    if (WhoisDialog)
        return;
    HWND dialog = CreateDialogParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_WHOIS), MainWindow,
                                     WhoisDialogProc, 0);
    WhoisAutoStart = 0;
    WhoisDialog = dialog;
}

static LRESULT Animate(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendDlgItemMessageA(dialog, IDC_WHOIS_ANIMATION, message, wParam, lParam);
}

static void EnableButtons(HWND dialog, BOOL whois, BOOL stop) {
    EnableWindow(GetDlgItem(dialog, IDOK), whois);
    EnableWindow(GetDlgItem(dialog, IDC_WHOIS_STOP), stop);
}

static void ShowStatus(HWND dialog) {
    SetDlgItemTextA(dialog, IDC_WHOIS_STATUS, WhoisStatusText());
}

static BOOL InitWhoisDialog(HWND dialog) {
    HWND output = GetDlgItem(dialog, IDC_WHOIS_OUTPUT);
    LONG_PTR previous =
        SetWindowLongPtrA(output, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WhoisOutputEditProc));
    SetWindowLongPtrA(output, GWLP_USERDATA, previous);
    SendMessageA(output, EM_SETLIMITTEXT, 0, 0);    // else a long answer stops at 30000 characters
    int corner = ScaleToDpi(16, WindowDpi(dialog)); // 16 pixels from the screen's corner at 96 DPI
    SetWindowPos(dialog, nullptr, corner, corner, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetDlgItemTextA(dialog, IDC_WHOIS_DOMAIN, WhoisDomainText);
    SendDlgItemMessageA(dialog, IDC_WHOIS_DOMAIN, EM_SETSEL, 0, -1);
    LoadHistory(GetDlgItem(dialog, IDC_WHOIS_SERVER), "WhoIs");
    SetFocus(GetDlgItem(dialog, IDC_WHOIS_DOMAIN));
    Animate(dialog, ACM_OPENA, 0, IDA_WHOIS_CLIP);
    Animate(dialog, ACM_PLAY, 1, MAKELONG(0, 1));
    SetTimer(dialog, kPollTimerId, kPollMs, nullptr);
    // The polls see no change while the status stays what an earlier dialog saw: show it now.
    WhoisStatusChanged();
    ShowStatus(dialog);
    if (WhoisIsIdle())
        EnableButtons(dialog, TRUE, FALSE);
    if (WhoisAutoStart)
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    return FALSE; // the focus is set
}

static void PressWhois(HWND dialog) {
    EnableButtons(dialog, FALSE, TRUE);
    // The server box is read one character past the longest name, so a longer text is refused
    // whole instead of being cut to a name nobody typed.
    char domain[kFieldCapacity], server[kServerNameMax + 2];
    GetDlgItemTextA(dialog, IDC_WHOIS_DOMAIN, domain, sizeof domain);
    GetDlgItemTextA(dialog, IDC_WHOIS_SERVER, server, sizeof server);
    HWND serverBox = GetDlgItem(dialog, IDC_WHOIS_SERVER);
    if (IsUsableServerName(server)) { // a name the query refuses stays out of the history
        AddToHistory(serverBox, server);
        SaveHistory(serverBox, "WhoIs", server);
    }
    SetDlgItemTextA(dialog, IDC_WHOIS_OUTPUT, "");
    Animate(dialog, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, 0xFFFF));
    BeginWhoisQuery(domain, server, dialog, IDC_WHOIS_OUTPUT);
}

// A running query is left to run; its answer then has no box to go to.
static void PressExit(HWND dialog) {
    Animate(dialog, ACM_STOP, 0, 0);
    Animate(dialog, ACM_OPENA, 0, 0);
    KillTimer(dialog, kPollTimerId);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
}

static void OnWhoisCommand(HWND dialog, int id) {
    switch (id) {
    case IDOK:
        PressWhois(dialog);
        break;
    case IDC_WHOIS_STOP:
        CloseWhoisQuery(); // the next tick shows it
        break;
    case IDCANCEL:
        PressExit(dialog);
        break;
    }
}

static void OnWhoisTick(HWND dialog) {
    bool showsQuery = IsWindowEnabled(GetDlgItem(dialog, IDC_WHOIS_STOP));
    bool changed = WhoisStatusChanged();
    // A query that ended before the first tick reads "Ready" as before: no change, yet the
    // layout still shows it running.
    if (!changed && !(WhoisIsIdle() && showsQuery))
        return;
    ShowStatus(dialog);
    if (WhoisIsIdle()) {
        Animate(dialog, ACM_STOP, 0, 0);
        EnableButtons(dialog, TRUE, FALSE);
    }
}

INT_PTR CALLBACK WhoisDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return InitWhoisDialog(dialog);
    case WM_COMMAND:
        OnWhoisCommand(dialog, LOWORD(wParam));
        return TRUE;
    case WM_TIMER:
        OnWhoisTick(dialog);
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(dialog);
        return TRUE;
    case WM_DESTROY:
        // Also when the main window takes its owned dialog down with it.
        if (WhoisDialog == dialog)
            WhoisDialog = nullptr;
        return FALSE;
    }
    return FALSE;
}

// Characters typed into the output box go to the server while its answer arrives, and show
// only then.
LRESULT CALLBACK WhoisOutputEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_CHAR) {
        char typed[2] = {static_cast<char>(wParam), '\0'};
        if (!WhoisSendTyped(typed))
            return 0;
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
}
