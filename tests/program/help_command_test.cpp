// The Help command: the help files in the program's folder open, whatever the working folder:
// the .chm through HTML Help where that can be loaded, else the .hlp through WinHelp; without
// either, a message of our own says where they belong.
#include "app/app.h"
#include "app/resource.h"
#include "harness/import_patch.h"
#include "harness/program.h"
#include <htmlhelp.h>
#include <tuple>

namespace {

using ViewerCall = std::tuple<std::string, UINT, std::string>; // viewer, command, file
std::vector<ViewerCall> ViewerCalls;
bool HtmlHelpLoads;
void* RealLoadLibraryA;
void* RealGetProcAddress;

BOOL WINAPI RecordingWinHelpA(HWND, LPCSTR file, UINT command, ULONG_PTR) {
    ViewerCalls.emplace_back("WinHelpA", command, file ? file : "");
    return TRUE;
}

HWND WINAPI RecordingHtmlHelpA(HWND, LPCSTR file, UINT command, DWORD_PTR) {
    ViewerCalls.emplace_back("HtmlHelpA", command, file ? file : "");
    return nullptr;
}

// HTML Help's library is the system's own, or missing; its entry point is the recorder.
HMODULE WINAPI TestLoadLibraryA(LPCSTR name) {
    if (!HtmlHelpLoads && lstrcmpiA(name, "hhctrl.ocx") == 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<decltype(&LoadLibraryA)>(RealLoadLibraryA)(name);
}

FARPROC WINAPI TestGetProcAddress(HMODULE module, LPCSTR name) {
    if (!IS_INTRESOURCE(name) && lstrcmpA(name, "HtmlHelpA") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(RecordingHtmlHelpA));
    return reinterpret_cast<decltype(&GetProcAddress)>(RealGetProcAddress)(module, name);
}

std::string BesideTheProgram(const char* name) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string path = exe;
    return path.replace(path.find_last_of('\\') + 1, std::string::npos, name);
}

class HelpCommand : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        realWinHelp = Patch("user32.dll", "WinHelpA", RecordingWinHelpA);
        RealLoadLibraryA = Patch("kernel32.dll", "LoadLibraryA", TestLoadLibraryA);
        RealGetProcAddress = Patch("kernel32.dll", "GetProcAddress", TestGetProcAddress);
        ASSERT_TRUE(realWinHelp && RealLoadLibraryA && RealGetProcAddress);
    }
    void TearDown() override {
        ProgramTest::TearDown(); // with the recorders, since it closes HTML Help
        PatchImport("user32.dll", "WinHelpA", realWinHelp);
        PatchImport("kernel32.dll", "LoadLibraryA", RealLoadLibraryA);
        PatchImport("kernel32.dll", "GetProcAddress", RealGetProcAddress);
        DeleteFileA(chm.c_str());
        DeleteFileA(hlp.c_str());
    }
    template <typename Function> void* Patch(const char* dll, const char* name, Function* with) {
        return PatchImport(dll, name, reinterpret_cast<void*>(with));
    }
    void* realWinHelp = nullptr;
    const std::string chm = BesideTheProgram("routelark.chm");
    const std::string hlp = BesideTheProgram("routelark.hlp");
};

TEST_F(HelpCommand, OpensTheChmThroughHtmlHelpElseTheHlpElseSaysWhereTheyBelong) {
    // Files of the same names in the working folder must not count.
    WriteWholeFile(folder->File("routelark.chm"), "not the program's");
    WriteWholeFile(folder->File("routelark.hlp"), "not the program's");
    enum Opens { Chm, Hlp, Message };
    const struct {
        const char* name;
        bool chm, hlp, htmlHelpLoads;
        Opens opens;
    } cases[] = {
        {"both files", true, true, true, Chm},
        {"only the .chm", true, false, true, Chm},
        {"only the .hlp", false, true, true, Hlp},
        {"both files, no HTML Help", true, true, false, Hlp},
        {"neither file", false, false, true, Message},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.chm ? WriteWholeFile(chm, "help") : (void)DeleteFileA(chm.c_str());
        c.hlp ? WriteWholeFile(hlp, "help") : (void)DeleteFileA(hlp.c_str());
        HtmlHelpLoads = c.htmlHelpLoads;
        ViewerCalls.clear();
        messageBoxes.Clear();

        SendMessageA(MainWindow, WM_COMMAND, IDM_HELP, 0);
        Restart(); // a viewer that HTML Help opened closes with the program

        std::vector<ViewerCall> expected; // full paths, found from any folder
        if (c.opens == Chm)
            expected = {{"HtmlHelpA", HH_DISPLAY_TOPIC, chm}, {"HtmlHelpA", HH_CLOSE_ALL, ""}};
        else if (c.opens == Hlp)
            expected = {{"WinHelpA", HELP_CONTENTS, hlp}};
        EXPECT_EQ(ViewerCalls, expected);
        ASSERT_EQ(messageBoxes.Count(), c.opens == Message ? 1u : 0u);
        if (c.opens != Message)
            continue;
        const CaughtMessageBox& box = messageBoxes.Boxes()[0];
        EXPECT_EQ(box.caption, "Routelark");
        EXPECT_EQ(box.style, static_cast<UINT>(MB_TOPMOST | MB_ICONEXCLAMATION | MB_OK));
        EXPECT_NE(box.text.find(chm), std::string::npos) << box.text;
        EXPECT_NE(box.text.find(hlp), std::string::npos) << box.text;
    }
}

// A program kept in a folder as deep as Windows allows: the box names both help files whole.
std::string DeepProgram;
DWORD WINAPI DeepGetModuleFileNameA(HMODULE, LPSTR name, DWORD size) {
    lstrcpynA(name, DeepProgram.c_str(), static_cast<int>(size));
    return static_cast<DWORD>(DeepProgram.size());
}

// Apart from HelpCommand, whose files beside the test program another test would race for.
using DeepFolderHelp = ProgramTest;

TEST_F(DeepFolderHelp, TheMissingFilesBoxNamesBothPathsWhole) {
    std::string folder = "C:\\";
    while (folder.size() + 1 + strlen("routelark.exe") < MAX_PATH - 1)
        folder += std::string(1, static_cast<char>('a' + folder.size() % 26));
    folder += "\\";
    DeepProgram = folder + "routelark.exe";
    ASSERT_EQ(DeepProgram.size(), static_cast<size_t>(MAX_PATH - 1));
    void* real = PatchImport("kernel32.dll", "GetModuleFileNameA",
                             reinterpret_cast<void*>(DeepGetModuleFileNameA));
    SendMessageA(MainWindow, WM_COMMAND, IDM_HELP, 0);
    PatchImport("kernel32.dll", "GetModuleFileNameA", real);

    ASSERT_EQ(messageBoxes.Count(), 1u);
    EXPECT_EQ(messageBoxes.Boxes()[0].text,
              "The help file is missing:\n" + folder + "routelark.chm\n" + folder +
                  "routelark.hlp\n\nPut routelark.chm or routelark.hlp in the folder of the program.");
}

} // namespace
