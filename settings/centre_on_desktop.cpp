// CentreOnDesktop: the place where the Setup and About dialogs open.
#include "settings/dialogs.h"

void CentreOnDesktop(HWND window) {
    RECT outer, desktop;
    GetWindowRect(window, &outer);
    GetWindowRect(GetDesktopWindow(), &desktop);
    int x = ((desktop.right - desktop.left) - (outer.right - outer.left)) / 2;
    int y = ((desktop.bottom - desktop.top) - (outer.bottom - outer.top)) / 2;
    SetWindowPos(window, HWND_TOP, x, y, 0, 0, SWP_NOSIZE);
}
