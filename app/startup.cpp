// Start-up and shutdown of the program, in the order the subsystems depend on each other.
#include "app/app.h"
#include "app/resource.h"
#include "asn/asn.h"
#include "echo/echo_service.h"
#include "hoptable/hop_table.h"
#include "session/session.h"
#include "settings/settings.h"
#include "trace/trace.h"
#include "whois/whois.h"
#include <commctrl.h>

HINSTANCE ProgramInstance;
HMENU HopPopupMenu;
HACCEL Accelerators;
HWND WhoisDialog;

int CreateProgram(HINSTANCE instance) {
    ProgramInstance = instance;
    HopPopupMenu = LoadMenuA(instance, MAKEINTRESOURCEA(IDR_HOP_POPUP));
    Accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    InitCommonControls();
    WSADATA sockets;
    if (WSAStartup(0x0101, &sockets) != 0) {
        MessageBoxA(nullptr, "Could not load Windows sockets DLL", "Routelark", MB_ICONERROR);
        return 0;
    }
    StartEchoService(); // without ICMP.DLL the program still runs; every trace then fails
    CreateWhoisConnection(instance);
    CreateMainWindow();
    CreateToolbar();
    CreateHostBox();
    CreateBannerButton();
    CreateStatusBar();
    CreateHopTable();
    return 1;
}

int StartProgram(HINSTANCE instance) {
    if (!CreateProgram(instance))
        return 0;
    WriteBannerPage(); // the page the banner opens, beside the INI file; a report needs none
    LoadSettings();    // places and shows the main window
    ShowRecentSessions();
    DragAcceptFiles(MainWindow, TRUE); // a session file dropped on the window opens
    return 1;
}

void ShutdownProgram() {
    StopTrace();     // the running trace's last autosave
    FinishAutosave(); // waits for it to reach the disk
    ClearHops();      // waits for an echo in flight to return
    CloseHtmlHelp();
    DestroyMenu(HopPopupMenu);
    HopPopupMenu = nullptr;
    DeleteBannerBitmap();
    DeleteToolbarBitmap();
    DeleteControlFont();
    DestroyWindowIcons();
    DestroyHopImages();
    DestroyWhoisConnection();
    StopAsLookups();
    StopEchoService();
    WSACleanup();
    SaveSettings();
}

void TraceHostAtStart(const char* host) {
    SetWindowTextA(HostBox, host); // as if typed in, and then Return pressed
    StartTrace();
}

int RunProgram(HINSTANCE instance, const char* host, const char* sessionFile) {
    if (!StartProgram(instance))
        return 0;
    if (host)
        TraceHostAtStart(host);
    else if (sessionFile)
        OpenSessionFile(sessionFile);
    while (RunMessageStep()) {
    }
    // Only now: the loop has handled what closing the HTML Help windows left in the queue.
    FreeHtmlHelp();
    return 0;
}
