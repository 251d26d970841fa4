// The hop table's own window procedure, in front of the list view's.
#include "hoptable/hop_table.h"
#include "hoptable/row_pacing.h"

LRESULT CALLBACK HopTableProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_RBUTTONUP) {
        OnHopTableRightClick(window, lParam);
        return 0;
    }
    if (message == WM_TIMER && OnPaceTimer(wParam))
        return 0;
    WNDPROC previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_USERDATA));
    LRESULT result = CallWindowProcA(previous, window, message, wParam, lParam);
    if (message == WM_PAINT)
        NoteTablePainted();
    // The list view follows a right button press in a loop of its own until the button is
    // released, and takes the WM_RBUTTONUP there: the click is over when the press is handled.
    if (message == WM_RBUTTONDOWN && GetKeyState(VK_RBUTTON) >= 0)
        OnHopTableRightClick(window, lParam);
    return result;
}
