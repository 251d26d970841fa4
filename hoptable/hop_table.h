// The hop table: a list view with one row per hop and ten switchable columns.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "hoptable/cell_format.h"
#include "hoptable/columns.h"

class CPinger;

extern HWND HopTable;

enum { kImageActive = 0, kImageIgnored = 1 };

void CreateHopTable();
void DestroyHopImages();
// At a DPI change: every column's width, shown or remembered, and the row images for the new DPI.
void RescaleHopTable(int fromDpi, int toDpi);
void InsertHopRow(int row, const char* text);
// What a row already shows is not set again.
void SetHopRowImage(int row, int active);
void SetCellText(int row, int visibleIndex, const char* text);
// A display frame: rows are written at most once in each.
enum { kDisplayFrameMs = 16 };
// Sets the row image from the pinger's ignored flag and rewrites the visible cells of the
// columns from first up to, not including, end (a ColumnNumber, or ColumnCount for all).
// A refresh that comes faster than the screen can show waits for the frame's end.
void RefreshHopRow(CPinger* pinger, int row, int first, int end);
// The hops were cleared for a new trace: no refresh asked for the last trace's rows is written,
// and the open graph shows the empty trace.
void NoteHopsCleared();
// The same, written at once.
void WriteHopRow(CPinger* pinger, int row, int first, int end);
void RefreshAllHopRows();
void ShowColumn(int column);
void HideColumn(int column);
// The View menu's toggle of column n, with its check mark.
void ToggleColumn(int column);

// Text of one cell of row r, valid until the next call; "Dunno" for an unknown column.
const char* GetCellText(int row, int column);
// The figures of the hop of row, all of one moment; false when the row has no hop.
struct HopCellNumbers;
bool TakeHopCellNumbers(int row, HopCellNumbers& hop);

// The hop table's own procedure: the context menu on a right click over a hop row, the pacing
// of its paints; everything else goes to the list view.
LRESULT CALLBACK HopTableProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The hop context menu, opened at a right click's point (client coordinates in lParam) when
// it hits a fully visible row of an answering hop.
extern int PopupRow;
void OnHopTableRightClick(HWND table, LPARAM lParam);
// Ignores the hop of the menu's row, or enables it again; nothing once that hop is gone.
void ToggleHopAtPopupRow();
// Puts the whole AS answer of the menu's hop on the clipboard; nothing when none is known.
void CopyAsAtPopupRow();
