// Refreshes of the hop table's rows at most once a display frame.
#include "hoptable/row_pacing.h"
#include "hoptable/hop_table.h"
#include "trace/trace.h"

enum : UINT_PTR { kPaceTimerId = 0x524C }; // not one of the list view's own timers

static DWORD LastPaint;   // GetTickCount of the table's last paint
static bool FramePending; // rows wait for the frame timer
// The columns each row waits to have written, first up to end; end 0: none.
static struct { int first, end; } Waiting[kHopListCapacity];

bool PaceRowRefresh(int row, int first, int end) {
    if (row < 0 || row >= kHopListCapacity)
        return false;
    if (!FramePending && GetTickCount() - LastPaint >= kDisplayFrameMs)
        return false;
    if (Waiting[row].end == 0 || first < Waiting[row].first)
        Waiting[row].first = first;
    if (end > Waiting[row].end)
        Waiting[row].end = end;
    if (!FramePending)
        SetTimer(HopTable, kPaceTimerId, kDisplayFrameMs, nullptr);
    FramePending = true;
    return true;
}

void DropWaitingRows() {
    if (FramePending)
        KillTimer(HopTable, kPaceTimerId);
    FramePending = false;
    for (auto& row : Waiting)
        row.end = 0;
}

void NoteTablePainted() {
    LastPaint = GetTickCount();
}

bool OnPaceTimer(UINT_PTR id) {
    if (id != kPaceTimerId)
        return false;
    KillTimer(HopTable, kPaceTimerId);
    FramePending = false;
    for (int row = 0; row < kHopListCapacity; row++) {
        if (Waiting[row].end && HopList[row])
            WriteHopRow(HopList[row], row, Waiting[row].first, Waiting[row].end);
        Waiting[row].end = 0;
    }
    return true;
}
