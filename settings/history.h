// The history lists of the host name box ("IPs") and the WhoIs server box ("WhoIs"): the
// drop-down list of a combo box is the list itself, stored in a section of the INI file.
#pragma once
#include <windows.h>

enum { kHistoryEntryMax = 127 }; // characters of an entry when it is written

// Empties the box's list, fills it from the section's keys "1", "2", ... up to the first
// missing or empty one, and selects the entry that "Selected" names. Returns "Selected".
int LoadHistory(HWND box, const char* section);
// Adds text to the box's list unless it is empty or already there (letter case ignored).
void AddToHistory(HWND box, const char* text);
// Rewrites the section from the box's list: "Selected" (the 1-based place of currentText,
// or 1), then the entries in list order, each cut to kHistoryEntryMax characters.
void SaveHistory(HWND box, const char* section, const char* currentText);
