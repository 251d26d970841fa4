// The history lists: the drop-down list of a combo box is the list itself.
#include "settings/history.h"

void AddToHistory(HWND box, const char* text) {
    if (!text[0])
        return;
    if (SendMessageA(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(text)) == CB_ERR)
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}
