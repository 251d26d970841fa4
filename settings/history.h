// The history lists of the host name box and the WhoIs server box.
#pragma once
#include <windows.h>

// Adds text to the box's list unless it is empty or already there (letter case ignored).
void AddToHistory(HWND box, const char* text);
