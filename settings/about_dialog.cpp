// The About dialog: the program's icon, and its name and version as the file's version
// resource holds them, so that the dialog and the file's properties always agree.
#include "app/app.h"
#include "app/resource.h"
#include "common/bounded_text.h"
#include "settings/dialogs.h"

// An icon control makes its outer rectangle the icon's size, so its sunken edge would leave
// too little room and the icon would be drawn shrunk: the edge goes around the icon instead.
static void FitIconInsideItsEdge(HWND icon) {
    RECT rect = {0, 0, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
    AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongA(icon, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(icon, GWL_EXSTYLE)));
    SetWindowPos(icon, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static void OnAboutInit(HWND dialog) {
    CentreOnDesktop(dialog);
    FitIconInsideItsEdge(GetDlgItem(dialog, IDC_ABOUT_ICON));
    char text[128];
    SetDlgItemTextA(dialog, IDC_ABOUT_NAME, ReadVersionString("ProductName", text, sizeof text));
    char version[128];
    ReadVersionString("ProductVersion", version, sizeof version);
    SetDlgItemTextA(dialog, IDC_ABOUT_VERSION,
                    version[0] ? FormatText(text, sizeof text, "Version %s", version) : "");
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnAboutInit(dialog);
        return TRUE;
    case WM_COMMAND: // only OK (and Return) closes it; Esc's IDCANCEL is ignored
        if (LOWORD(wParam) == IDOK)
            PostMessageA(dialog, WM_CLOSE, 0, 1);
        return TRUE;
    case WM_CLOSE: // lParam 1 after OK; 0 from the close box
        EndDialog(dialog, lParam);
        return TRUE;
    }
    return FALSE;
}
