// Paces the hop table's row refreshes to the display's rate: a hop pinged without pause
// changes its cells far more often than a screen can show, and writing and painting them each
// time costs more than the echo itself.
#pragma once
#include <windows.h>

// A refresh of the columns first up to end of a row that comes less than a frame after the
// table's last paint waits for the end of that frame, and true is returned; the caller then
// writes nothing now. While the table does not paint (hidden or minimised), nothing waits.
bool PaceRowRefresh(int row, int first, int end);
// Forgets every row waiting for the frame, and the frame timer: the hops are cleared for a new
// trace, whose rows must never show a refresh asked for the last one's.
void DropWaitingRows();
// The hop table's own messages for the pacing: its paints, and the frame timer (false for a
// timer that is not the pacing's).
void NoteTablePainted();
bool OnPaceTimer(UINT_PTR id);
