// The host name box: a drop-down combo box on the toolbar whose edit control starts a
// trace on Return and removes history entries on Delete.
#include "app/app.h"
#include "app/resource.h"
#include "settings/history.h"
#include "trace/trace.h"

HWND HostBox;
HWND HostBoxEdit;
char DestinationText[kHostTextCapacity];

// At (2, 5) on the toolbar, 300 wide, its list 256 high, at 96 DPI.
static RECT HostBoxRectangle() {
    RECT r = {ScaleToMainWindow(2), ScaleToMainWindow(5), ScaleToMainWindow(300),
              ScaleToMainWindow(256)}; // left, top, width, height
    return r;
}

void CreateHostBox() {
    RECT r = HostBoxRectangle();
    HostBox = CreateWindowExA(0, "COMBOBOX", "",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN | CBS_SORT |
                                  CBS_AUTOHSCROLL,
                              r.left, r.top, r.right, r.bottom, MainWindow,
                              reinterpret_cast<HMENU>(IDC_HOST_BOX), ProgramInstance, nullptr);
    SetParent(HostBox, ToolbarWindow);
    // A 128th character would not fit the destination text with its terminator.
    SendMessageA(HostBox, CB_LIMITTEXT, kHostTextCapacity - 1, 0);
    LoadHistory(HostBox, "IPs");
    POINT inside = {8, 8};
    HostBoxEdit = ChildWindowFromPoint(HostBox, inside);
    LONG_PTR previous =
        SetWindowLongPtrA(HostBoxEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HostBoxEditProc));
    SetWindowLongPtrA(HostBoxEdit, GWLP_USERDATA, previous);
    SetFocus(HostBoxEdit);
}

void SizeHostBox() {
    RECT r = HostBoxRectangle();
    SetWindowPos(HostBox, nullptr, r.left, r.top, r.right, r.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Delete on a dropped-down entry asks before removing it from the history; consumed
// whenever it asked.
static bool RemoveSelectedHistoryEntry() {
    if (!SendMessageA(HostBox, CB_GETDROPPEDSTATE, 0, 0))
        return false;
    LRESULT selection = SendMessageA(HostBox, CB_GETCURSEL, 0, 0);
    if (selection == CB_ERR)
        return false;
    char entry[256];
    LRESULT length = SendMessageA(HostBox, CB_GETLBTEXTLEN, selection, 0);
    if (length == CB_ERR || length >= static_cast<LRESULT>(sizeof entry))
        return false;
    if (SendMessageA(HostBox, CB_GETLBTEXT, selection, reinterpret_cast<LPARAM>(entry)) == CB_ERR)
        return false;
    if (ShowMessage(MainWindow, "Routelark", MB_TOPMOST | MB_ICONEXCLAMATION | MB_YESNO,
                    "Remove %s?", entry) == IDYES)
        SendMessageA(HostBox, CB_DELETESTRING, selection, 0);
    return true;
}

LRESULT CALLBACK HostBoxEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_USERDATA));
    bool writable = !(GetWindowLongA(window, GWL_STYLE) & ES_READONLY);
    if (message == WM_KEYDOWN && writable) {
        if (wParam == VK_DELETE && RemoveSelectedHistoryEntry())
            return 0;
        if (wParam == VK_RETURN) {
            StartTrace();
            return 0;
        }
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
}
