// The Help command: the help file in the program's folder opens in the viewer, whatever the
// working folder; without it a message of our own says where it belongs.
#include "app/app.h"
#include "app/resource.h"
#include "harness/import_patch.h"
#include "harness/program.h"

namespace {

std::vector<std::pair<std::string, UINT>> HelpCalls; // file and command of each WinHelpA

BOOL WINAPI RecordingWinHelpA(HWND, LPCSTR file, UINT command, ULONG_PTR) {
    HelpCalls.emplace_back(file ? file : "", command);
    return TRUE;
}

class HelpCommand : public ProgramTest {};

TEST_F(HelpCommand, OpensTheFileBesideTheProgramAndOnlySaysWhereItBelongsWhenItIsMissing) {
    void* real = PatchImport("user32.dll", "WinHelpA", reinterpret_cast<void*>(RecordingWinHelpA));
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string beside = exe;
    beside.replace(beside.find_last_of('\\') + 1, std::string::npos, "routelark.hlp");
    DeleteFileA(beside.c_str());
    WriteWholeFile(folder->File("routelark.hlp"), "not the program's"); // must not count

    SendMessageA(MainWindow, WM_COMMAND, IDM_HELP, 0);
    ASSERT_EQ(messageBoxes.Count(), 1u);
    EXPECT_EQ(messageBoxes.Boxes()[0].caption, "Routelark");
    EXPECT_NE(messageBoxes.Boxes()[0].text.find(beside), std::string::npos)
        << messageBoxes.Boxes()[0].text;
    EXPECT_TRUE(HelpCalls.empty()) << "the viewer would only ask for the file";

    WriteWholeFile(beside, "help");
    SendMessageA(MainWindow, WM_COMMAND, IDM_HELP, 0);
    DeleteFileA(beside.c_str());
    PatchImport("user32.dll", "WinHelpA", real);
    EXPECT_EQ(messageBoxes.Count(), 1u) << "no message when the file is there";
    ASSERT_EQ(HelpCalls.size(), 1u);
    EXPECT_EQ(HelpCalls[0].first, beside) << "the full path, found from any folder";
    EXPECT_EQ(HelpCalls[0].second, static_cast<UINT>(HELP_CONTENTS));
}

} // namespace
