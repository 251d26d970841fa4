// The hop context menu: a right click on a hop row offers to ignore or enable the hop, to
// ask a WhoIs server about its domain and, while the AS lookups are on, to copy its AS.
#include "app/app.h"
#include "app/resource.h"
#include "asn/asn.h"
#include "common/bounded_text.h"
#include "hoptable/hop_table.h"
#include "hoptable/trace_report.h"
#include "settings/preferences.h"
#include "trace/trace.h"
#include "whois/whois.h"
#include <cstddef>

int PopupRow; // the row of the last right click that hit a row

static CPinger* HopOfRow(int row) {
    return row >= 0 && row < kHopListCapacity ? HopList[row] : nullptr;
}

// The fully visible row under a point of the table's client area, or -1. A partly visible
// row at the bottom is not counted per page, so it is never hit.
static int RowAtPoint(HWND table, POINT point) {
    int top = static_cast<int>(SendMessageA(table, LVM_GETTOPINDEX, 0, 0));
    int count = static_cast<int>(SendMessageA(table, LVM_GETCOUNTPERPAGE, 0, 0));
    for (int i = top; i < top + count; i++) {
        RECT r = {};
        r.left = LVIR_BOUNDS;
        if (SendMessageA(table, LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r)) &&
            PtInRect(&r, point))
            return i;
    }
    return -1;
}

static void SetPopupItem(UINT command, const char* text, UINT state) {
    char label[256];
    CopyText(label, sizeof label, text);
    MENUITEMINFOA item = {};
    // The older record (44 bytes in 32 bits): every Windows takes it.
    item.cbSize = offsetof(MENUITEMINFOA, hbmpItem);
    item.fMask = MIIM_STATE | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.fState = state;
    item.dwTypeData = label;
    item.cch = static_cast<UINT>(strlen(label));
    SetMenuItemInfoA(HopPopupMenu, command, FALSE, &item);
}

// "Copy AS" is in the menu exactly while the AS lookups are on, after the WhoIs item; it is
// gray until the hop's answer has come.
static void PrepareCopyAsItem(CPinger* hop) {
    HMENU menu = GetSubMenu(HopPopupMenu, 0);
    bool present = GetMenuState(menu, IDM_HOP_COPY_AS, MF_BYCOMMAND) != static_cast<UINT>(-1);
    if (!(Preferences.LookupAs & 1)) {
        if (present)
            DeleteMenu(menu, IDM_HOP_COPY_AS, MF_BYCOMMAND);
        return;
    }
    if (!present)
        AppendMenuA(menu, MF_STRING, IDM_HOP_COPY_AS, "Copy &AS");
    char text[kAsCellSize * 8];
    bool known = FormatHopAs(hop->GetDestination(), text, sizeof text);
    EnableMenuItem(menu, IDM_HOP_COPY_AS, MF_BYCOMMAND | (known ? MF_ENABLED : MF_GRAYED));
}

// Both items get their text and state before every display. The WhoIs item names the domain
// that WhoIs would ask about: the hop's host text reduced.
static void PreparePopup(int row, CPinger* hop) {
    char text[256];
    FormatText(text, sizeof text, hop->IsIgnored() ? "&Enable hop %d" : "&Ignore hop %d", row + 1);
    SetPopupItem(IDM_HOP_TOGGLE, text, 0);
    const char* host = GetCellText(row, kColumnHostName);
    CopyText(WhoisDomainText, sizeof WhoisDomainText, host);
    ReduceToDomain();
    FormatText(text, sizeof text, "&WhoIs %s", WhoisDomainText);
    SetPopupItem(IDM_HOP_WHOIS, text, strcmp(host, kUnknownHostText) == 0 ? MFS_GRAYED : 0);
    PrepareCopyAsItem(hop);
}

void OnHopTableRightClick(HWND table, LPARAM lParam) {
    POINT point = {LOWORD(lParam), HIWORD(lParam)};
    int row = RowAtPoint(table, point);
    if (row < 0)
        return;
    PopupRow = row;
    CPinger* hop = HopOfRow(row);
    if (!hop || hop->IsNoResponse())
        return; // rows of the last trace and placeholders get no menu
    PreparePopup(row, hop);
    ClientToScreen(table, &point);
    TrackPopupMenu(GetSubMenu(HopPopupMenu, 0), 0, point.x, point.y, 0, MainWindow, nullptr);
}

void ToggleHopAtPopupRow() {
    CPinger* hop = HopOfRow(PopupRow);
    if (!hop || hop->IsNoResponse())
        return; // the hop has gone since the menu opened, or never answered
    int ignore = !hop->IsIgnored();
    hop->SetIgnored(ignore);
    SetHopRowImage(PopupRow, !ignore);
}

void CopyAsAtPopupRow() {
    CPinger* hop = HopOfRow(PopupRow);
    char text[kAsCellSize * 8];
    if (hop && !hop->IsNoResponse() && FormatHopAs(hop->GetDestination(), text, sizeof text))
        PutTextOnClipboard(text);
}
