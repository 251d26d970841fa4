// Loading and saving the settings. Until the INI file is read here, the built-in
// defaults apply and the main window opens at its default place.
#include "settings/settings.h"
#include "app/app.h"

void LoadSettings() {
    Settings = kDefaultSettings;
    int x = (GetSystemMetrics(SM_CXSCREEN) - 700) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - 340) / 2;
    SetWindowPos(MainWindow, HWND_TOP, x, y, 700, 340, SWP_SHOWWINDOW);
    ClampSettings();
}

void SaveSettings() {}
