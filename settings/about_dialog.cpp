// The About dialog: the program's icon, and its name and version as the file's version
// resource holds them, so that the dialog and the file's properties always agree.
#include "app/app.h"
#include "app/resource.h"
#include "common/bounded_text.h"
#include "settings/dialogs.h"
#include <vector>

// Copies the string `name` of the program file's version resource, in its first
// translation, into text; "" when there is no such string.
static const char* ReadVersionString(const char* name, char* text, size_t size) {
    CopyText(text, size, "");
    char path[MAX_PATH];
    DWORD pathLength = GetModuleFileNameA(ProgramInstance, path, sizeof path);
    if (pathLength == 0 || pathLength >= sizeof path)
        return text;
    DWORD unused;
    DWORD infoSize = GetFileVersionInfoSizeA(path, &unused);
    if (infoSize == 0)
        return text;
    std::vector<char> info(infoSize);
    if (!GetFileVersionInfoA(path, 0, infoSize, info.data()))
        return text;
    WORD* translation; // language, code page
    UINT length;
    if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
        length < 2 * sizeof(WORD))
        return text;
    char key[96];
    FormatText(key, sizeof key, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1],
               name);
    char* value;
    if (VerQueryValueA(info.data(), key, reinterpret_cast<void**>(&value), &length) && length)
        CopyText(text, size, value);
    return text;
}

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
