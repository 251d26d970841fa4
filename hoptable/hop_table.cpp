// The hop table control: creation, rows, cells and the showing and hiding of columns.
#include "hoptable/hop_table.h"
#include "hoptable/row_pacing.h"
#include "app/app.h"
#include "app/resource.h"
#include "dpi/dpi_rules.h"
#include "dpi/window_dpi.h"
#include "echo/pinger.h"
#include "events/events_view.h"
#include "graph/graph.h"
#include "trace/trace.h"
#include <cstring>

HWND HopTable;
static HIMAGELIST HopImages;

static const COLORREF kTableBackground = RGB(0, 0, 128);
static const COLORREF kTableText = RGB(255, 255, 255);

static void InsertListColumn(int column, int index) {
    LVCOLUMNA c = {};
    c.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    c.fmt = Columns[column].Format ? LVCFMT_RIGHT : LVCFMT_LEFT;
    c.cx = Columns[column].ListWidth;
    c.pszText = Columns[column].Name;
    c.iSubItem = 0;
    SendMessageA(HopTable, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&c));
}

enum { kRowImageSize = 12 }; // at 96 DPI
static const ScaledArtwork kActiveArtwork = {
    {IDB_HOP_ACTIVE, IDB_HOP_ACTIVE_150, IDB_HOP_ACTIVE_200}, kRowImageSize, kRowImageSize, 1};
static const ScaledArtwork kIgnoredArtwork = {
    {IDB_HOP_IGNORED, IDB_HOP_IGNORED_150, IDB_HOP_IGNORED_200}, kRowImageSize, kRowImageSize, 1};

static void AddRowImage(HIMAGELIST images, const ScaledArtwork& art, int dpi) {
    HBITMAP bitmap = LoadArtworkForDpi(ProgramInstance, art, dpi);
    ImageList_AddMasked(images, bitmap, RGB(0, 0, 0));
    DeleteObject(bitmap);
}

static HIMAGELIST CreateRowImages(int dpi) {
    int size = ScaleToDpi(kRowImageSize, dpi);
    HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR, 2, 1);
    AddRowImage(images, kActiveArtwork, dpi);
    AddRowImage(images, kIgnoredArtwork, dpi);
    return images;
}

void CreateHopTable() {
    HopTable = CreateWindowExA(0, "SysListView32", "Routelark",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | LVS_REPORT | LVS_SINGLESEL |
                                   LVS_AUTOARRANGE | LVS_NOSORTHEADER,
                               0, 0, 0, 0, MainWindow, nullptr, ProgramInstance, nullptr);
    SendMessageA(HopTable, LVM_SETBKCOLOR, 0, kTableBackground);
    SendMessageA(HopTable, LVM_SETTEXTBKCOLOR, 0, kTableBackground);
    SendMessageA(HopTable, LVM_SETTEXTCOLOR, 0, kTableText);
    HopImages = CreateRowImages(MainWindowDpi);
    SendMessageA(HopTable, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(HopImages));
    ColumnCount = kColumnTotal;
    for (int n = 0; n < ColumnCount; n++) {
        Columns[n] = kBuiltInColumns[n];
        Columns[n].ListWidth = ScaleToMainWindow(kBuiltInColumns[n].ListWidth);
        if (Columns[n].Visible)
            InsertListColumn(n, VisibleIndex(n));
    }
    SendMessageA(HopTable, LVM_SETITEMCOUNT, kHopListCapacity, 0);
    LONG_PTR previous =
        SetWindowLongPtrA(HopTable, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HopTableProc));
    SetWindowLongPtrA(HopTable, GWLP_USERDATA, previous);
}

void DestroyHopImages() {
    // A list view destroys the image lists it holds (it was not made to share them): the
    // hop table lets go of this one first, so that it is destroyed once, here.
    SendMessageA(HopTable, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    if (HopImages)
        ImageList_Destroy(HopImages);
    HopImages = nullptr;
}

// A width at one DPI at another, through 96-DPI units as the INI file keeps it, so that a
// width comes back the same after a stay at a higher DPI.
static int RescaleWidth(int width, int fromDpi, int toDpi) {
    return ColumnValueAtDpi(StoredColumnValue(width, fromDpi), toDpi);
}

void RescaleHopTable(int fromDpi, int toDpi) {
    int shown = 0; // the list view holds only the visible columns, in table order
    for (int n = 0; n < ColumnCount; n++) {
        if (!Columns[n].Visible) {
            Columns[n].ListWidth = RescaleWidth(Columns[n].ListWidth, fromDpi, toDpi);
            continue;
        }
        int width = static_cast<int>(SendMessageA(HopTable, LVM_GETCOLUMNWIDTH, shown, 0));
        SendMessageA(HopTable, LVM_SETCOLUMNWIDTH, shown++,
                     MAKELPARAM(static_cast<WORD>(RescaleWidth(width, fromDpi, toDpi)), 0));
    }
    HIMAGELIST images = CreateRowImages(toDpi);
    SendMessageA(HopTable, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    if (HopImages)
        ImageList_Destroy(HopImages);
    HopImages = images;
}

void InsertHopRow(int row, const char* text) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = row;
    item.pszText = const_cast<char*>(text);
    item.iImage = kImageActive;
    item.lParam = row;
    SendMessageA(HopTable, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

// An image or text that a row already shows is not set again: every change repaints its cell,
// and most cells of a hop pinged without pause read the same from one echo to the next.
void SetHopRowImage(int row, int active) {
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    int image = active ? kImageActive : kImageIgnored;
    if (SendMessageA(HopTable, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) &&
        item.iImage == image)
        return;
    item.iImage = image;
    SendMessageA(HopTable, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void SetCellText(int row, int visibleIndex, const char* text) {
    char shown[32]; // longer texts (host names) are set whatever they were
    LVITEMA item = {};
    item.iSubItem = visibleIndex;
    item.pszText = shown;
    item.cchTextMax = sizeof shown;
    LRESULT length = SendMessageA(HopTable, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    if (length < static_cast<LRESULT>(sizeof shown) - 1 && strcmp(shown, text) == 0)
        return;
    item.pszText = const_cast<char*>(text);
    SendMessageA(HopTable, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

void WriteHopRow(CPinger* pinger, int row, int first, int end) {
    HopCellNumbers hop; // the worker may be counting this hop's next echo: one moment's figures
    bool known = TakeHopCellNumbers(row, hop);
    SetHopRowImage(row, !pinger->IsIgnored());
    char text[256];
    for (int n = 0, visible = 0; n < end && n < kColumnTotal; n++) {
        if (!Columns[n].Visible)
            continue;
        if (n >= first)
            SetCellText(row, visible, known ? FormatHopCell(n, hop, text, sizeof text) : "");
        visible++;
    }
}

void RefreshHopRow(CPinger* pinger, int row, int first, int end) {
    NoteHopFiguresChanged();
    NoteTraceEvents();
    if (!PaceRowRefresh(row, first, end))
        WriteHopRow(pinger, row, first, end);
}

void NoteHopsCleared() {
    DropWaitingRows();
    NoteHopFiguresChanged();
    NoteTraceEvents();
}

void RefreshAllHopRows() {
    for (int r = 0; r < HopCount; r++)
        WriteHopRow(HopList[r], r, kColumnHop, ColumnCount);
    InvalidateRect(HopTable, nullptr, FALSE);
    UpdateWindow(HopTable);
}

static bool IsColumn(int column) {
    return column >= 0 && column < ColumnCount;
}

void ShowColumn(int column) {
    if (IsColumn(column) && !Columns[column].Visible) {
        InsertListColumn(column, VisibleIndex(column));
        Columns[column].Visible = 1;
    }
    RefreshAllHopRows();
}

void HideColumn(int column) {
    if (IsColumn(column) && Columns[column].Visible) {
        int index = VisibleIndex(column);
        Columns[column].ListWidth =
            static_cast<int>(SendMessageA(HopTable, LVM_GETCOLUMNWIDTH, index, 0));
        SendMessageA(HopTable, LVM_DELETECOLUMN, index, 0);
        Columns[column].Visible = 0;
    }
    RefreshAllHopRows();
}

void ToggleColumn(int column) {
    if (IsColumn(column) && Columns[column].Visible)
        HideColumn(column);
    else
        ShowColumn(column);
    bool visible = IsColumn(column) && Columns[column].Visible;
    CheckMenuItem(GetMenu(MainWindow), ColumnCommand(column),
                  MF_BYCOMMAND | (visible ? MF_CHECKED : MF_UNCHECKED));
}
