// Reading a list view from a test.
#include "harness/list_view.h"
#include <commctrl.h>

int ListViewRowCount(HWND listView) {
    return static_cast<int>(SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0));
}

int ListViewColumnCount(HWND listView) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(listView, LVM_GETHEADER, 0, 0));
    return static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
}

std::string ListViewCell(HWND listView, int row, int subItem) {
    char text[1100] = "";
    LVITEMA item = {};
    item.iSubItem = subItem;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(listView, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

std::string ListViewColumnTitle(HWND listView, int index) {
    char text[64] = "";
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT;
    column.pszText = text;
    column.cchTextMax = sizeof text;
    if (!SendMessageA(listView, LVM_GETCOLUMNA, index, reinterpret_cast<LPARAM>(&column)))
        return "<none>";
    return text;
}

int ListViewColumnWidth(HWND listView, int index) {
    return static_cast<int>(SendMessageA(listView, LVM_GETCOLUMNWIDTH, index, 0));
}

static LVITEMA GetItem(HWND listView, int row, UINT mask) {
    LVITEMA item = {};
    item.mask = mask;
    item.iItem = row;
    SendMessageA(listView, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item;
}

int ListViewRowImage(HWND listView, int row) {
    return GetItem(listView, row, LVIF_IMAGE).iImage;
}

LPARAM ListViewRowData(HWND listView, int row) {
    return GetItem(listView, row, LVIF_PARAM).lParam;
}

std::string ListViewRow(HWND listView, int row) {
    std::string joined;
    int columns = ListViewColumnCount(listView);
    for (int i = 0; i < columns; i++) {
        if (i)
            joined += '|';
        joined += ListViewCell(listView, row, i);
    }
    return joined;
}
