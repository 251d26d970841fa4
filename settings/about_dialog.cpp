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

static void OnAboutInit(HWND dialog) {
    CentreOnDesktop(dialog);
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
