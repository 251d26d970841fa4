// The hop table's mark on a row whose hop changed: its text in another colour.
#pragma once
#include <windows.h>
#include <commctrl.h>

// A route change was found at row: its mark is drawn from now on.
void MarkRouteChangedRow(int row);
// A new trace: no row is marked.
void ClearRouteChangedRows();
// NM_CUSTOMDRAW of the hop table. While no row is marked it asks for nothing, so the table draws
// exactly as it always has.
LRESULT DrawRouteChangedRows(NMLVCUSTOMDRAW* draw);
