// The Setup, Preferences and About dialogs, modal and owned by the main window, and the centring they share.
#pragma once
#include <windows.h>

// Shows the Settings record and stores what OK finds in the boxes, clamped. Ends with 1
// after OK, 0 after Cancel, Esc or the close box.
INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Shows the Preferences record, one control per setting, and stores and saves what OK finds,
// clamped; turning the AS lookups on asks about the hops found so far. Ends with 1 after OK, 0
// after Cancel, Esc or the close box.
INT_PTR CALLBACK PreferencesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Shows the program's name and version from its version resource, and its icon. Ends with
// 1 after OK or Return, 0 after the close box; Esc does nothing.
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Moves window, keeping its size, so that its outer rectangle is centred on the desktop
// window's rectangle, and brings it to the top.
void CentreOnDesktop(HWND window);
