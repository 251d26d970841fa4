// Loading and saving the settings. Until the INI file is read here, the built-in
// defaults apply and the main window opens at its default place.
#include "settings/settings.h"
#include "app/app.h"

void LoadSettings() {
    Settings = kDefaultSettings;
    POINT origin = DefaultWindowOrigin();
    SetWindowPos(MainWindow, HWND_TOP, origin.x, origin.y, kDefaultWindowWidth,
                 kDefaultWindowHeight, SWP_SHOWWINDOW);
    ClampSettings();
}

void SaveSettings() {}
