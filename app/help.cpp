// The Help command: the compiled HTML Help file through HTML Help, the only help viewer of
// Windows since Vista, or else the WinHelp file for the viewer of older systems.
#include "app/app.h"
#include "common/bounded_text.h"
#include "common/path_text.h"
#include <cstring>
#include <htmlhelp.h>

static const char kHtmlHelpFileName[] = "routelark.chm";
static const char kWinHelpFileName[] = "routelark.hlp";

// HTML Help is bound at run time, so that the program starts where hhctrl.ocx is absent. The
// library is loaded by the first Help that finds the .chm and kept until FreeHtmlHelp; the entry
// is set only while the library is loaded.
using HtmlHelpFunction = HWND(WINAPI*)(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);
static HMODULE HtmlHelpLibrary;
static HtmlHelpFunction HtmlHelpEntry;

// The folder of the running program with its final backslash, so that Help finds its files
// whatever the working folder; empty when that folder is unknown.
static void ProgramFolder(char* folder, size_t size) {
    char program[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    const char* name =
        length > 0 && length < sizeof program ? LastPathSeparator(program, IsAnsiLeadByte) : nullptr;
    if (name) // else no path, or one cut short, which names no real folder
        program[name - program + 1] = '\0';
    CopyText(folder, size, name ? program : "");
}

static bool IsFile(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

static bool LoadHtmlHelp() {
    if (HtmlHelpEntry)
        return true;
    HtmlHelpLibrary = LoadLibraryA("hhctrl.ocx");
    if (!HtmlHelpLibrary)
        return false;
    HtmlHelpEntry = reinterpret_cast<HtmlHelpFunction>(
        reinterpret_cast<void*>(GetProcAddress(HtmlHelpLibrary, "HtmlHelpA")));
    if (!HtmlHelpEntry)
        FreeHtmlHelp();
    return HtmlHelpEntry != nullptr;
}

// Without either file a viewer would only ask the user to find one: say where they belong.
void OpenHelp() {
    char folder[MAX_PATH];
    ProgramFolder(folder, sizeof folder);
    char htmlHelp[MAX_PATH + sizeof kHtmlHelpFileName];
    char winHelp[MAX_PATH + sizeof kWinHelpFileName];
    FormatText(htmlHelp, sizeof htmlHelp, "%s%s", folder, kHtmlHelpFileName);
    FormatText(winHelp, sizeof winHelp, "%s%s", folder, kWinHelpFileName);
    if (folder[0] && IsFile(htmlHelp) && LoadHtmlHelp()) {
        HtmlHelpEntry(MainWindow, htmlHelp, HH_DISPLAY_TOPIC, 0);
        return;
    }
    if (folder[0] && IsFile(winHelp)) {
        WinHelpA(MainWindow, winHelp, HELP_CONTENTS, 0);
        return;
    }
    ShowMessage(MainWindow, "Routelark", MB_TOPMOST | MB_ICONEXCLAMATION | MB_OK,
                "The help file is missing:\n%s\n%s\n\nPut %s or %s in the folder of the program.",
                htmlHelp, winHelp, kHtmlHelpFileName, kWinHelpFileName);
}

// The HTML Help windows run on the program's thread: they must be gone before it ends.
void CloseHtmlHelp() {
    if (HtmlHelpEntry)
        HtmlHelpEntry(nullptr, nullptr, HH_CLOSE_ALL, 0);
}

void FreeHtmlHelp() {
    if (HtmlHelpLibrary)
        FreeLibrary(HtmlHelpLibrary);
    HtmlHelpLibrary = nullptr;
    HtmlHelpEntry = nullptr;
}
