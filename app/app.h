// The application shell: start-up and shutdown, the main window, its controls and commands.
#pragma once
#include <winsock2.h>
#include <windows.h>

// Trace messages on the main window, routed through the active event handler table.
enum : UINT {
    MSG_TRACE_RESOLVED = 1124,
    MSG_TRACE_PROBE = 1125,
    MSG_TRACE_HOPNAME = 1126,
    MSG_PING_REPLY = 1127,
    MSG_PING_NEXT = 1128,
    MSG_PING_ROUND = 1129, // the echo worker's round answered (not through the tables)
    MSG_ROUTE_CHANGE = 1130, // the route check found a hop changed (not through the tables)
    MSG_ROUTE_NAME = 1131,   // a lookup of a route change's new address completed
};
enum : UINT_PTR { kPingTimerId = 1 }; // any WM_TIMER of the main window counts as this one's

enum { kHostTextCapacity = 128 }; // host name box, destination text, WhoIs domain text

// Shell state, one each for the program's life.
extern HINSTANCE ProgramInstance;
extern HWND MainWindow;
extern HMENU HopPopupMenu;
extern HACCEL Accelerators;
extern HWND WhoisDialog; // the open WhoIs dialog, or nullptr
extern HWND ToolbarWindow;
extern HWND HostBox;
extern HWND HostBoxEdit;
extern HWND BannerButton;
extern HWND StatusBar;
extern char DestinationText[kHostTextCapacity];
extern char WhoisDomainText[kHostTextCapacity];
extern const char* const kStarlaneHomePage;

// Start-up and shutdown. StartProgram returns 0 when the program must end at once;
// CreateProgram is its first part, every window made and none shown, the INI file not yet read.
int CreateProgram(HINSTANCE instance);
int StartProgram(HINSTANCE instance);
void ShutdownProgram();
// The program with its window until it is closed; host, when given, is traced at once, and
// sessionFile, when given, opened.
int RunProgram(HINSTANCE instance, const char* host = nullptr, const char* sessionFile = nullptr);
// "Open with": the host put into the host name box and its trace started.
void TraceHostAtStart(const char* host);

// One step of the message loop: 1 to go on, 0 once WM_QUIT has arrived.
int RunMessageStep();

// The main window, and its default place: 700 x 340 at 96 DPI, centred on the primary screen.
enum { kDefaultWindowWidth = 700, kDefaultWindowHeight = 340 };
SIZE DefaultWindowSize();
POINT DefaultWindowOrigin();
HWND CreateMainWindow();

// The DPI the main window and its controls are laid out for: the system's until the window
// exists, then the window's own, and a new one each time Windows moves it to a screen of
// another DPI. Every pixel size of the shell is given at 96 DPI and scaled to it.
extern int MainWindowDpi;
int ScaleToMainWindow(int pixelsAt96);
// WM_DPICHANGED: everything laid out again at the new DPI, with new fonts and images, in the
// rectangle Windows suggests.
void OnDpiChanged(int dpi, const RECT* suggested);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Controls of the main window, created in this order after it.
void CreateToolbar();
void CreateHostBox();
void CreateBannerButton();
void CreateStatusBar();
void LayoutMainWindow(int width, int height);
// At a new DPI: the toolbar made again (the host name box and the banner move over to it), the
// host name box sized, the banner's bitmap loaded, the status bar's parts set.
void RecreateToolbar();
void SizeHostBox();
void LoadBannerBitmap();
void SetStatusParts();
void GetTooltipText(NMHDR* notification);
void RunCommand(int command, HWND control);
LRESULT CALLBACK HostBoxEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Start and Stop share one place on the toolbar; the menu items follow the same state.
void ShowTraceControls(int running);

// Help: opens the .chm through HTML Help or else the .hlp through WinHelp, both beside the program.
// CloseHtmlHelp closes the HTML Help windows at shutdown; FreeHtmlHelp frees the library once the
// main window is destroyed and the message loop has ended.
void OpenHelp();
void CloseHtmlHelp();
void FreeHtmlHelp();

// Copies the string `name` ("ProductName", "ProductVersion" ...) of the program file's version
// resource, in its first translation, into text; "" when there is no such string.
const char* ReadVersionString(const char* name, char* text, size_t size);

// The banner: its page file, its click, its bitmap (160 x 30 at 96 DPI).
enum { kBannerWidth = 160, kBannerHeight = 30 };
void WriteBannerPage();
void ClickBanner();
void DeleteBannerBitmap();
// The toolbar's own bitmap, where its artwork had to be shrunk for the DPI, and the controls'
// font and window icons made at a DPI change; all kept until shutdown.
void DeleteToolbarBitmap();
void DeleteControlFont();
void DestroyWindowIcons();

// Status bar text (parts 0, 1, 2; 255 = simple mode) and message boxes, printf-style,
// cut to 255 characters.
void SetStatusText(int part, const char* format, ...) __attribute__((format(printf, 2, 3)));
int ShowMessage(HWND owner, const char* caption, UINT style, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
// A report run has no one to answer a message box: while set, ShowMessage hands the box's text
// to it instead, and returns its answer.
extern int (*AnswerMessage)(const char* caption, const char* text, UINT style);
