// The alert when the destination stops answering: the main window's taskbar button flashes until
// the window comes to the front, and the system's exclamation sound plays.
#include "app/app.h"
#include "events/events_view.h"

void AlertDestinationSilent() {
    FLASHWINFO flash = {};
    flash.cbSize = sizeof flash;
    flash.hwnd = MainWindow;
    flash.dwFlags = FLASHW_TRAY | FLASHW_TIMERNOFG;
    FlashWindowEx(&flash);
    MessageBeep(MB_ICONEXCLAMATION);
}
