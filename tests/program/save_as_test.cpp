// Save As in the running program: the command's state, what it asks the Save dialog, the format
// that the chosen name gets, the folder kept for next time, the text file's table beside the
// copied report, and writes that fail whole. The Save dialog is replaced at its import by one
// that answers as a user would; the release tour drives the real one.
#include "harness/clipboard.h"
#include "harness/import_patch.h"
#include "hoptable/trace_report.h"
#include "trace_fixture.h"
#include <cderr.h>
#include <commdlg.h>
#include <deque>
#include <regex>
#include <set>

namespace {

// What the program asked the dialog, and how the user answers: a name and file type, Cancel
// (no answer left), or a name longer than the program's buffer.
struct AskedDialog {
    std::string title, fileTypes, suggested, initialFolder, defaultExtension;
    DWORD flags, type;
    HWND owner;
};
struct DialogAnswer {
    std::string path;
    DWORD type;
    WORD tooLongBy = 0; // the length the dialog would need instead, when not 0
};
std::vector<AskedDialog> Asked;
std::deque<DialogAnswer> Answers;
DWORD DialogError;

BOOL WINAPI FakeGetSaveFileNameA(OPENFILENAMEA* dialog) {
    std::string types; // the list of pairs ends in an empty string
    for (const char* t = dialog->lpstrFilter; *t; t += strlen(t) + 1)
        types.append(t).append(1, '|');
    Asked.push_back({dialog->lpstrTitle, types, dialog->lpstrFile,
                     dialog->lpstrInitialDir ? dialog->lpstrInitialDir : "<none>",
                     dialog->lpstrDefExt ? dialog->lpstrDefExt : "<none>", dialog->Flags,
                     dialog->nFilterIndex, dialog->hwndOwner});
    DialogError = 0;
    if (Answers.empty())
        return FALSE;
    DialogAnswer answer = Answers.front();
    Answers.pop_front();
    if (answer.tooLongBy) {
        *reinterpret_cast<WORD*>(dialog->lpstrFile) = answer.tooLongBy;
        DialogError = FNERR_BUFFERTOOSMALL;
        return FALSE;
    }
    EXPECT_LT(answer.path.size(), dialog->nMaxFile);
    memcpy(dialog->lpstrFile, answer.path.c_str(), answer.path.size() + 1);
    dialog->nFilterIndex = answer.type;
    return TRUE;
}
DWORD WINAPI FakeCommDlgExtendedError() {
    return DialogError;
}

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        if (strcmp(found.cFileName, ".") && strcmp(found.cFileName, ".."))
            names.insert(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::string SystemText(DWORD error) {
    char text[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   text, sizeof text, nullptr);
    std::string s = text;
    while (!s.empty() && strchr("\r\n ", s.back()))
        s.pop_back();
    return s;
}

class SaveAs : public TraceTest {
  protected:
    void SetUp() override {
        TraceTest::SetUp();
        Asked.clear();
        Answers.clear();
        realDialog = PatchImport("comdlg32.dll", "GetSaveFileNameA",
                                 reinterpret_cast<void*>(FakeGetSaveFileNameA));
        realError = PatchImport("comdlg32.dll", "CommDlgExtendedError",
                                reinterpret_cast<void*>(FakeCommDlgExtendedError));
        ASSERT_TRUE(realDialog && realError);
    }
    void TearDown() override {
        PatchImport("comdlg32.dll", "GetSaveFileNameA", realDialog);
        PatchImport("comdlg32.dll", "CommDlgExtendedError", realError);
        TraceTest::TearDown();
    }
    void SaveAsAnswering(const std::string& path, DWORD type) {
        Answers.push_back({path, type});
        SendMessageA(MainWindow, WM_COMMAND, IDM_SAVE_AS, 0);
    }
    bool SaveAsGrayed() {
        return GetMenuState(GetMenu(MainWindow), IDM_SAVE_AS, MF_BYCOMMAND) & MF_GRAYED;
    }
    std::string File(const char* name) { return folder->File(name); }
    void* realDialog = nullptr;
    void* realError = nullptr;
};

TEST_F(SaveAs, GrayedUntilATraceHasItsDestinationAndKeptAfterEsc) {
    EXPECT_TRUE(SaveAsGrayed());
    PostMessageA(HostBoxEdit, WM_KEYDOWN, VK_F12, 0);
    ASSERT_EQ(RunMessageStep(), 1);
    SendMessageA(MainWindow, WM_COMMAND, IDM_SAVE_AS, 0);
    EXPECT_TRUE(Asked.empty()) << "nothing to save before any trace";
    DiscoverLabRoute();
    EXPECT_FALSE(SaveAsGrayed()) << "while the trace runs";
    StopTrace();
    EXPECT_FALSE(SaveAsGrayed()) << "after Esc";
    PostMessageA(HostBoxEdit, WM_KEYDOWN, VK_F12, 0); // F12 through the message loop, cancelled
    ASSERT_EQ(RunMessageStep(), 1);
    EXPECT_EQ(Asked.size(), 1u);
    FakeIcmpReleaseHeld();   // the next Start waits for the echo out
    Start(LAB_UNKNOWN_NAME); // a trace whose destination is never found
    ASSERT_TRUE(WaitForState(TraceState::Stopped));
    EXPECT_TRUE(SaveAsGrayed());
    ShutDown();
    EXPECT_EQ(ReadWholeFile(File("routelark.ini")).find("[Save]"), std::string::npos)
        << "no section of its own before anything was saved";
}

TEST_F(SaveAs, AsksTheDialogForATextFileNamedAfterTheHostAndStartInTheWorkingFolder) {
    DiscoverLabRoute();
    SendMessageA(MainWindow, WM_COMMAND, IDM_SAVE_AS, 0);
    ASSERT_EQ(Asked.size(), 1u);
    const AskedDialog& asked = Asked[0];
    EXPECT_EQ(asked.title, "Save Trace As");
    EXPECT_EQ(asked.fileTypes, "Text (*.txt)|*.txt|Web page (*.html; *.htm)|*.html;*.htm|"
                               "CSV (*.csv)|*.csv|");
    EXPECT_EQ(asked.type, 1u);
    EXPECT_EQ(asked.defaultExtension, "txt");
    EXPECT_TRUE(std::regex_match(asked.suggested,
                                 std::regex("routelark-dest\\.routelark\\.test-20\\d{6}-\\d{6}")))
        << asked.suggested;
    EXPECT_EQ(asked.initialFolder, folder->Path());
    EXPECT_EQ(asked.owner, MainWindow);
    const DWORD flags = OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR | OFN_EXPLORER | OFN_PATHMUSTEXIST;
    EXPECT_EQ(asked.flags & flags, flags)
        << "the usual overwrite prompt; the INI file's folder stays";
    EXPECT_EQ(FilesIn(folder->Path()), (std::set<std::string>{"starlane.htm"})) << "cancelled";
}

TEST_F(SaveAs, FormatFollowsTheNameElseTheChosenTypeWithItsExtension) {
    DiscoverLabRoute();
    const struct {
        const char* chosen;
        DWORD type;
        const char* written;
        const char* start;
    } cases[] = {
        {"a.csv", 1, "a.csv", "Target,Address,Started,Hop,"},
        {"b.HTM", 3, "b.HTM", "<!DOCTYPE html>\r\n"},
        {"c.txt", 2, "c.txt", "Routelark 1.0.0\r\nTarget: dest.routelark.test (198.18.7.1)\r\n"},
        {"d.log", 2, "d.log.html", "<!DOCTYPE html>\r\n"},
        {"e.csv.bak", 3, "e.csv.bak.csv", "Target,"},
    };
    for (const auto& c : cases) {
        SaveAsAnswering(File(c.chosen), c.type);
        EXPECT_EQ(ReadWholeFile(File(c.written)).rfind(c.start, 0), 0u) << c.chosen;
    }
    EXPECT_EQ(FilesIn(folder->Path()),
              (std::set<std::string>{"a.csv", "b.HTM", "c.txt", "d.log.html", "e.csv.bak.csv",
                                     "routelark.ini", "starlane.htm"}))
        << "no other file; the INI file keeps the folder";
    EXPECT_EQ(messageBoxes.Count(), 0u);
}

TEST_F(SaveAs, AnAddedExtensionAsksBeforeReplacingTheFileItNames) {
    DiscoverLabRoute();
    WriteWholeFile(File("trace.log.csv"), "kept");
    messageBoxes.QueueAnswer(IDNO);
    SaveAsAnswering(File("trace.log"), 3); // No: asked again, and then cancelled
    ASSERT_EQ(messageBoxes.Count(), 1u);
    EXPECT_EQ(messageBoxes.Boxes()[0].caption, "Save Trace As");
    EXPECT_EQ(messageBoxes.Boxes()[0].text,
              File("trace.log.csv") + " already exists.\nDo you want to replace it?");
    ASSERT_EQ(Asked.size(), 2u);
    EXPECT_EQ(Asked[1].suggested, File("trace.log.csv"));
    EXPECT_EQ(ReadWholeFile(File("trace.log.csv")), "kept");
    messageBoxes.QueueAnswer(IDYES);
    SaveAsAnswering(File("trace.log"), 3);
    EXPECT_EQ(ReadWholeFile(File("trace.log.csv")).rfind("Target,", 0), 0u);
}

TEST_F(SaveAs, TheFolderSavedToIsOfferedNextTimeWhileItExists) {
    DiscoverLabRoute();
    const std::string kept = File("kept");
    CreateDirectoryA(kept.c_str(), nullptr);
    SaveAsAnswering(kept + "\\trace.txt", 1);
    SendMessageA(MainWindow, WM_COMMAND, IDM_SAVE_AS, 0);
    ASSERT_EQ(Asked.size(), 2u);
    EXPECT_EQ(Asked[1].initialFolder, kept);
    char stored[MAX_PATH] = "";
    GetPrivateProfileStringA("Save", "Folder", "", stored, sizeof stored, ".\\routelark.ini");
    EXPECT_EQ(stored, kept);
    DeleteFileA((kept + "\\trace.txt").c_str());
    RemoveDirectoryA(kept.c_str());
    SendMessageA(MainWindow, WM_COMMAND, IDM_SAVE_AS, 0);
    ASSERT_EQ(Asked.size(), 3u);
    EXPECT_EQ(Asked[2].initialFolder, folder->Path()) << "the folder is gone";
}

TEST_F(SaveAs, AFailedWriteNamesTheFileWithTheSystemsTextAndLeavesNothingBehind) {
    DiscoverLabRoute();
    const std::string taken = File("taken.txt"); // a folder, with a file in it
    CreateDirectoryA(taken.c_str(), nullptr);
    WriteWholeFile(taken + "\\inside", "inside");
    const std::set<std::string> before = FilesIn(folder->Path());
    SaveAsAnswering(taken, 1);
    ASSERT_EQ(messageBoxes.Count(), 1u);
    const CaughtMessageBox& box = messageBoxes.Boxes()[0];
    EXPECT_EQ(box.caption, "Routelark");
    EXPECT_EQ(box.text, "The trace could not be saved as\n" + taken + "\n\n" +
                            SystemText(ERROR_ACCESS_DENIED));
    EXPECT_EQ(box.style & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(FilesIn(folder->Path()), before) << "the temporary file is removed";
    EXPECT_EQ(ReadWholeFile(taken + "\\inside"), "inside");
    EXPECT_EQ(FilesIn(taken), (std::set<std::string>{"inside"}));
}

TEST_F(SaveAs, NamesLongerThanTheBuffersAreRefusedWholeWithTheBox) {
    DiscoverLabRoute();
    // A name that fills the program's buffer: its type's extension no longer fits.
    const std::string base = File("");
    const std::string name = base + std::string(1023 - base.size() - 4, 'n') + ".log";
    SaveAsAnswering(name, 1);
    Answers.push_back({"", 1, 1501}); // the dialog's own refusal: it needed 1501 characters
    SendMessageA(MainWindow, WM_COMMAND, IDM_SAVE_AS, 0);
    ASSERT_EQ(messageBoxes.Count(), 2u);
    EXPECT_EQ(messageBoxes.Boxes()[0].text, "The trace could not be saved as\n" + name + "\n\n" +
                                                SystemText(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_EQ(messageBoxes.Boxes()[1].text,
              "The trace could not be saved as\nthe name chosen (1500 characters)\n\n" +
                  SystemText(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_EQ(FilesIn(folder->Path()), (std::set<std::string>{"starlane.htm"}));
}

// The text file's table is the report that Ctrl+C copies as text, whatever CopyHTML says.
class TraceReportFile : public SaveAs {}; // a name that takes the clipboard's lock in CTest

TEST_F(TraceReportFile, TextFileIsTheHeaderAndTheCopiedReportByteForByte) {
    DiscoverLabRoute();
    HopList[2]->SetHostText(std::string(40, 'n').c_str()); // a long name shifts its own line
    StopTrace();
    Settings.CopyHTML = 0;
    SendMessageA(MainWindow, WM_COMMAND, IDM_COPY, 0);
    const std::string copied = ClipboardText();
    Settings.CopyHTML = 1;
    SaveAsAnswering(File("trace.txt"), 1);
    const std::string file = ReadWholeFile(File("trace.txt"));
    const size_t table = file.find("\r\n\r\n") + 4;
    EXPECT_EQ(file.substr(table), copied);
    EXPECT_GT(copied.size(), 7 * 105u);
    const std::string iso = "(20\\d\\d-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d)";
    const std::string head = file.substr(0, table);
    std::smatch header;
    ASSERT_TRUE(
        std::regex_match(head, header,
                         std::regex("Routelark 1\\.0\\.0\r\n"
                                    "Target: dest\\.routelark\\.test \\(198\\.18\\.7\\.1\\)\r\n"
                                    "Started: " +
                                    iso + "  Saved: " + iso + "\r\n\r\n")))
        << head;
    EXPECT_LE(header[1].str(), header[2].str());
}

// A folder beside the test program, where the CTest tests around these two look.
std::string TestProgramFolder(const char* name) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

// The three files of a trace whose second hop has a hostile reverse name (a comma, quotes, a
// script, CR LF, bytes above 127), for tests/program/read_back_saved.py to read back with
// Python's csv module and HTML parser; with the code page that the names are in.
class SavedForReadBack : public SaveAs {};

TEST_F(SavedForReadBack, HostileReverseNameInEveryFormat) {
    DiscoverLabRoute();
    HopList[1]->SetHostText("a,\"b\"<script>alert('x')</script>&\r\n\xE9\xFC");
    StopTrace();
    const std::string saved = TestProgramFolder("saved");
    CreateDirectoryA(saved.c_str(), nullptr);
    for (const char* name : {"hostile.txt", "hostile.html", "hostile.csv"}) {
        DeleteFileA((saved + "\\" + name).c_str());
        SaveAsAnswering(saved + "\\" + name, 1);
        EXPECT_NE(ReadWholeFile(saved + "\\" + name), "") << name;
    }
    WriteWholeFile(saved + "\\code-page.txt", std::to_string(GetACP()));
    EXPECT_EQ(messageBoxes.Count(), 0u);
}

// On a disk with no room left (a small tmpfs, filled, that tests/program/full_disk.sh mounts
// beside the test program), the write fails, the box says so, and the old file stays.
TEST_F(SaveAs, OnAFullDiskTheOldFileStaysByteForByte) {
    const std::string full = TestProgramFolder("full-disk");
    const std::string old = ReadWholeFile(full + "\\trace.csv");
    if (GetFileAttributesA((full + "\\filler").c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no full disk at " << full << ": tests/program/full_disk.sh mounts one";
    const std::set<std::string> before = FilesIn(full);
    DiscoverLabRoute();
    SaveAsAnswering(full + "\\trace.csv", 3);
    ASSERT_EQ(messageBoxes.Count(), 1u);
    EXPECT_EQ(messageBoxes.Boxes()[0].text, "The trace could not be saved as\n" + full +
                                                "\\trace.csv\n\n" + SystemText(ERROR_DISK_FULL));
    EXPECT_EQ(ReadWholeFile(full + "\\trace.csv"), old);
    EXPECT_NE(old, "");
    EXPECT_EQ(FilesIn(full), before) << "the temporary file is removed";
}

} // namespace
