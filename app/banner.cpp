// The banner button of the game Starlane: its page file, which lets the shell name the
// browser, and the click that opens the game's home page in it.
#include "app/app.h"
#include "app/resource.h"
#include "common/bounded_text.h"
#include "dpi/window_dpi.h"
#include <mmsystem.h>
#include <shellapi.h>

HWND BannerButton;
static HBITMAP BannerBitmap;

const char* const kStarlaneHomePage = "https://www.starlane.example/";
static const char kBannerPageName[] = "starlane.htm";

void WriteBannerPage() {
    HANDLE file = CreateFileA(kBannerPageName, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    file = CreateFileA(kBannerPageName, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return; // the page only names the browser; without it the click does nothing
    char page[1024];
    FormatText(page, sizeof page,
               "<HTML>\r\n"
               "<HEAD>\r\n"
               "<TITLE>Starlane</TITLE>\r\n"
               "</HEAD>\r\n"
               "<BODY BGCOLOR=\"#000000\" TEXT=\"#C0C0FF\" LINK=\"#C0C0FF\"VLINK=\"#B0B0FF\" "
               "ALINK=\"#FF0000\">\r\n"
               "<CENTER>\r\n"
               "<H1>Click <A HREF=\"%s\"> here</A> to go to the Starlane main page\r\n"
               "</H1>\r\n"
               "</CENTER>\r\n"
               "</BODY>\r\n"
               "</HTML>\r\n",
               kStarlaneHomePage);
    DWORD written;
    WriteFile(file, page, static_cast<DWORD>(strlen(page)), &written, nullptr);
    CloseHandle(file);
}

static const ScaledArtwork kBannerArtwork = {
    {IDB_BANNER, IDB_BANNER_150, IDB_BANNER_200}, kBannerWidth, kBannerHeight, 1};

void CreateBannerButton() {
    BannerButton = CreateWindowExA(
        0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_BITMAP, 0, ScaleToMainWindow(2),
        ScaleToMainWindow(kBannerWidth), ScaleToMainWindow(kBannerHeight), MainWindow,
        reinterpret_cast<HMENU>(IDC_BANNER), ProgramInstance, nullptr);
    SetParent(BannerButton, ToolbarWindow);
    LoadBannerBitmap();
}

void LoadBannerBitmap() {
    HBITMAP previous = BannerBitmap;
    BannerBitmap = LoadArtworkForDpi(ProgramInstance, kBannerArtwork, MainWindowDpi);
    SendMessageA(BannerButton, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(BannerBitmap));
    if (previous)
        DeleteObject(previous); // no longer the button's
}

void ClickBanner() {
    PlaySoundA(MAKEINTRESOURCEA(IDW_BANNER_CLICK), ProgramInstance, SND_RESOURCE | SND_SYNC);
    char directory[MAX_PATH]; // the folder may be as deep as Windows allows
    DWORD length = GetCurrentDirectoryA(sizeof directory, directory);
    if (length == 0 || length >= sizeof directory)
        return;
    char browser[MAX_PATH];
    browser[0] = '\0';
    if (reinterpret_cast<INT_PTR>(FindExecutableA(kBannerPageName, directory, browser)) <= 32)
        return;
    ShellExecuteA(MainWindow, "open", browser, kStarlaneHomePage, directory, SW_SHOWNORMAL);
}

void DeleteBannerBitmap() {
    if (BannerBitmap)
        DeleteObject(BannerBitmap);
    BannerBitmap = nullptr;
}
