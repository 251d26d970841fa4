// Draws the text of the rows whose hop changed in a colour of their own.
#include "hoptable/route_mark.h"
#include "hoptable/hop_table.h"
#include "trace/trace.h"
#include <cstring>

// Amber on the table's navy background (white text): it reads as a warning without shouting,
// and stays as legible as the white. A selected row keeps the system's highlight.
static const COLORREF kRouteChangedText = RGB(255, 200, 64);

static unsigned char Marked[kHopListCapacity];
static bool AnyMarked;

void MarkRouteChangedRow(int row) {
    if (row < 0 || row >= kHopListCapacity)
        return;
    Marked[row] = 1;
    AnyMarked = true;
    if (HopTable)
        SendMessageA(HopTable, LVM_REDRAWITEMS, row, row);
}

void ClearRouteChangedRows() {
    memset(Marked, 0, sizeof Marked);
    AnyMarked = false;
}

LRESULT DrawRouteChangedRows(NMLVCUSTOMDRAW* draw) {
    if (!AnyMarked)
        return CDRF_DODEFAULT;
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        DWORD_PTR row = draw->nmcd.dwItemSpec;
        if (row < kHopListCapacity && Marked[row]) {
            draw->clrText = kRouteChangedText;
            return CDRF_NEWFONT;
        }
        return CDRF_DODEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}
