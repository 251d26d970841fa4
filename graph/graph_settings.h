// The graph window's place, size and span, kept in the INI file's "Graph" section.
#pragma once
#include "graph/hop_history.h"
#include <windows.h>

// Where the graph opens: where it was last, in this run or an earlier one, or else beside the
// main window at its default size. The first call of a run reads the INI file.
RECT GraphOpeningRect();
GraphSpan GraphOpeningSpan();
// Remembers the window's place and span as it closes, for its next opening and the INI file.
void KeepGraphPlacement(HWND window);
