// Save As in the running program: the command's state, what it asks the Save dialog, the format
// of the chosen name, the folder kept for next time, the text file beside the copied report, and
// saves that fail whole. The dialog is replaced at its import by one that answers as a user
// would (the release tour drives the real one).
#include "echo/echo_service.h"
#include "events/events_view.h"
#include "events/trace_events.h"
#include "harness/clipboard.h"
#include "hoptable/trace_report.h"
#include "harness/import_patch.h"
#include "save/save_trace.h"
#include "trace_fixture.h"
#include <cderr.h>
#include <commdlg.h>
#include <deque>
#include <regex>
#include <set>

namespace {

// What the program asked the dialog, and the user's answers: a name and file type each, Cancel
// once none is left; a tooLong answer is the dialog's refusal of a name of that many characters.
struct DialogAnswer {
    std::string path;
    DWORD type;
    WORD tooLong = 0;
};
std::vector<OPENFILENAMEA> Asked;
std::vector<std::string> AskedNames, AskedFolders;
std::deque<DialogAnswer> Answers;
DWORD DialogError;

BOOL WINAPI FakeGetSaveFileNameA(OPENFILENAMEA* dialog) {
    Asked.push_back(*dialog);
    AskedNames.push_back(dialog->lpstrFile);
    AskedFolders.push_back(dialog->lpstrInitialDir ? dialog->lpstrInitialDir : "");
    DialogError = 0;
    if (Answers.empty())
        return FALSE;
    DialogAnswer answer = Answers.front();
    Answers.pop_front();
    if (answer.tooLong) {
        *reinterpret_cast<WORD*>(dialog->lpstrFile) = answer.tooLong + 1;
        DialogError = FNERR_BUFFERTOOSMALL;
        return FALSE;
    }
    lstrcpynA(dialog->lpstrFile, answer.path.c_str(), dialog->nMaxFile);
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
    while (search != INVALID_HANDLE_VALUE) {
        if (found.cFileName[0] != '.')
            names.insert(found.cFileName);
        if (!FindNextFileA(search, &found))
            break;
    }
    FindClose(search);
    return names;
}

std::string SystemText(DWORD error) {
    char text[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   text, sizeof text, nullptr);
    return std::regex_replace(text, std::regex("[\r\n ]+$"), "");
}

// A folder beside the test program, where the CTest tests around two of these tests look.
std::string TestProgramFolder(const char* name) {
    char path[MAX_PATH];
    std::string program(path, GetModuleFileNameA(nullptr, path, sizeof path));
    return program.substr(0, program.find_last_of('\\') + 1) + name;
}

class SaveAs : public TraceTest {
  protected:
    void SetUp() override {
        TraceTest::SetUp();
        Asked.clear(), AskedNames.clear(), AskedFolders.clear(), Answers.clear();
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
    SendMessageA(MainWindow, WM_COMMAND, IDM_SAVE_AS, 0);
    EXPECT_TRUE(Asked.empty()) << "nothing to save before any trace";
    DiscoverLabRoute();
    EXPECT_FALSE(SaveAsGrayed()) << "while the trace runs";
    StopTrace();
    EXPECT_FALSE(SaveAsGrayed()) << "after Esc";
    PostMessageA(HostBoxEdit, WM_KEYDOWN, VK_F12, 0); // through the message loop; cancelled
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

TEST_F(SaveAs, AsksForATextFileNamedAfterTheHostAndStartInTheWorkingFolder) {
    DiscoverLabRoute();
    SendMessageA(MainWindow, WM_COMMAND, IDM_SAVE_AS, 0);
    ASSERT_EQ(Asked.size(), 1u);
    const OPENFILENAMEA& asked = Asked[0];
    EXPECT_STREQ(asked.lpstrTitle, "Save Trace As");
    static const char types[] = "Text (*.txt)\0*.txt\0Web page (*.html; *.htm)\0*.html;*.htm\0"
                                "CSV (*.csv)\0*.csv\0JSON (*.json)\0*.json\0"; // and the list's end
    EXPECT_EQ(std::string(asked.lpstrFilter, sizeof types), std::string(types, sizeof types));
    EXPECT_EQ(asked.nFilterIndex, 1u);
    EXPECT_STREQ(asked.lpstrDefExt, "txt");
    EXPECT_TRUE(std::regex_match(AskedNames[0], std::regex("routelark-dest\\.routelark\\.test-"
                                                           "20\\d{6}-\\d{6}")))
        << AskedNames[0];
    EXPECT_EQ(AskedFolders[0], folder->Path());
    EXPECT_EQ(asked.hwndOwner, MainWindow);
    const DWORD flags = OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR | OFN_EXPLORER;
    EXPECT_EQ(asked.Flags & flags, flags) << "the overwrite prompt; the INI file's folder stays";
    EXPECT_EQ(FilesIn(folder->Path()), (std::set<std::string>{"starlane.htm"})) << "cancelled";
}

TEST_F(SaveAs, FormatFollowsTheNameElseTheChosenTypeWithItsExtension) {
    DiscoverLabRoute();
    const struct {
        const char *chosen, *written, *start;
        DWORD type;
    } cases[] = {
        {"a.csv", "a.csv", "Target,Address,Started,Hop,", 1},
        {"b.HTM", "b.HTM", "<!DOCTYPE html>\r\n", 3},
        {"c.txt", "c.txt", "Routelark 1.0.0\r\nTarget: dest.routelark.test (198.18.7.1)\r\n", 2},
        {"d.log", "d.log.html", "<!DOCTYPE html>\r\n", 2},
        {"e.csv.bak", "e.csv.bak.csv", "Target,", 3},
        {"g.Json", "g.Json", "{\r\n  \"format\": 1,\r\n", 1},
        {"h", "h.json", "{\r\n  \"format\": 1,\r\n", 4}, // the fourth type
    };
    for (const auto& c : cases) {
        SaveAsAnswering(File(c.chosen), c.type);
        EXPECT_EQ(ReadWholeFile(File(c.written)).rfind(c.start, 0), 0u) << c.chosen;
    }
    EXPECT_EQ(FilesIn(folder->Path()),
              (std::set<std::string>{"a.csv", "b.HTM", "c.txt", "d.log.html", "e.csv.bak.csv",
                                     "g.Json", "h.json", "routelark.ini", "starlane.htm"}))
        << "no other file; the INI file keeps the folder";
    EXPECT_EQ(messageBoxes.Count(), 0u);
    // The dialog asked about replacing "f.log"; the program asks about "f.log.csv".
    WriteWholeFile(File("f.log.csv"), "kept");
    messageBoxes.QueueAnswer(IDNO);
    SaveAsAnswering(File("f.log"), 3); // No: the dialog again, then cancelled
    ASSERT_EQ(messageBoxes.Count(), 1u);
    EXPECT_EQ(messageBoxes.Boxes()[0].caption, "Save Trace As");
    EXPECT_EQ(messageBoxes.Boxes()[0].text,
              File("f.log.csv") + " already exists.\nDo you want to replace it?");
    EXPECT_EQ(AskedNames.back(), File("f.log.csv"));
    EXPECT_EQ(ReadWholeFile(File("f.log.csv")), "kept");
}

TEST_F(SaveAs, TheFolderSavedToIsOfferedNextTimeWhileItExists) {
    DiscoverLabRoute();
    const std::string kept = File("kept");
    CreateDirectoryA(kept.c_str(), nullptr);
    SaveAsAnswering(kept + "\\trace.txt", 1);
    SendMessageA(MainWindow, WM_COMMAND, IDM_SAVE_AS, 0);
    DeleteFileA((kept + "\\trace.txt").c_str());
    RemoveDirectoryA(kept.c_str());
    SendMessageA(MainWindow, WM_COMMAND, IDM_SAVE_AS, 0);
    EXPECT_EQ(AskedFolders, (std::vector<std::string>{folder->Path(), kept, folder->Path()}));
    char stored[MAX_PATH] = "";
    GetPrivateProfileStringA("Save", "Folder", "", stored, sizeof stored, ".\\routelark.ini");
    EXPECT_EQ(stored, kept);
}

// The box of a failed save names the file whole and gives the system's own text; nothing is
// left behind. The names: one that is a folder, one whose type's extension no longer fits the
// program's buffer, and one that the dialog itself found too long.
TEST_F(SaveAs, AFailedSaveShowsTheBoxAndLeavesTheFolderAsItWas) {
    DiscoverLabRoute();
    const std::string taken = File("taken.txt");
    CreateDirectoryA(taken.c_str(), nullptr);
    WriteWholeFile(taken + "\\inside", "inside");
    const std::set<std::string> before = FilesIn(folder->Path());
    const std::string base = File("");
    const std::string longName = base + std::string(1023 - base.size() - 4, 'n') + ".log";
    SaveAsAnswering(taken, 1);
    SaveAsAnswering(longName, 1);
    Answers.push_back({"", 1, 1500});
    SendMessageA(MainWindow, WM_COMMAND, IDM_SAVE_AS, 0);
    const std::string tooLong = "\n\n" + SystemText(ERROR_FILENAME_EXCED_RANGE);
    const std::string texts[] = {
        "The trace could not be saved as\n" + taken + "\n\n" + SystemText(ERROR_ACCESS_DENIED),
        "The trace could not be saved as\n" + longName + tooLong,
        "The trace could not be saved as\nthe name chosen (1500 characters)" + tooLong,
    };
    ASSERT_EQ(messageBoxes.Count(), 3u);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(messageBoxes.Boxes()[i].text, texts[i]);
        EXPECT_EQ(messageBoxes.Boxes()[i].caption, "Routelark");
        EXPECT_EQ(messageBoxes.Boxes()[i].style, static_cast<UINT>(MB_ICONERROR | MB_OK));
    }
    EXPECT_EQ(FilesIn(folder->Path()), before) << "the temporary file is removed";
    EXPECT_EQ(FilesIn(taken), (std::set<std::string>{"inside"}));
}

std::vector<std::string> Replaced; // the files ReplaceFileA was asked to replace
void* RealReplaceFileA;

BOOL WINAPI RecordingReplaceFileA(LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD flags,
                                  LPVOID exclude, LPVOID reserved) {
    Replaced.push_back(replaced);
    return reinterpret_cast<decltype(&ReplaceFileA)>(RealReplaceFileA)(replaced, replacement, backup,
                                                                      flags, exclude, reserved);
}

// A file saved over is replaced by ReplaceFileA, which keeps what the folder knows of it (its ACL,
// owner and hard links: Windows keeps them, Wine does not); a new file is made without it.
TEST_F(SaveAs, AFileSavedOverIsReplacedNotMovedOver) {
    Replaced.clear();
    RealReplaceFileA = PatchImport("kernel32.dll", "ReplaceFileA",
                                   reinterpret_cast<void*>(RecordingReplaceFileA));
    ASSERT_NE(RealReplaceFileA, nullptr) << "the program does not call ReplaceFileA";
    DiscoverLabRoute();
    const std::string path = File("trace.csv");
    SaveAsAnswering(path, 3);
    WriteWholeFile(path, "old");
    SaveAsAnswering(path, 3);
    PatchImport("kernel32.dll", "ReplaceFileA", RealReplaceFileA);
    EXPECT_EQ(messageBoxes.Count(), 0u);
    EXPECT_EQ(Replaced, std::vector<std::string>{path});
    EXPECT_EQ(ReadWholeFile(path).compare(0, 7, "Target,"), 0);
}

// A name relative to the working folder, as a report's /out gives it, is replaced as well.
TEST_F(SaveAs, AFileOfARelativeNameIsReplaced) {
    for (const char* bytes : {"old", "new"}) {
        ASSERT_TRUE(WriteWholeFileSafely("relative.txt", bytes));
        EXPECT_EQ(ReadWholeFile(File("relative.txt")), bytes);
    }
    EXPECT_EQ(messageBoxes.Count(), 0u);
}

// On a disk with no room left (a small tmpfs, filled, that tests/program/full_disk.sh mounts
// beside the test program) the write fails, the box says so, and the old file stays.
TEST_F(SaveAs, OnAFullDiskTheOldFileStaysByteForByte) {
    const std::string full = TestProgramFolder("full-disk");
    if (GetFileAttributesA((full + "\\filler").c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no full disk at " << full << ": tests/program/full_disk.sh mounts one";
    const std::string old = ReadWholeFile(full + "\\trace.csv");
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
    const std::string head = file.substr(0, table);
    const std::string iso = "(20\\d\\d-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d)";
    std::smatch header;
    ASSERT_TRUE(
        std::regex_match(head, header,
                         std::regex("Routelark 1\\.0\\.0\r\nTarget: dest\\.routelark\\.test "
                                    "\\(198\\.18\\.7\\.1\\)\r\nStarted: " +
                                    iso + "  Saved: " + iso + "\r\n\r\n")))
        << head;
    EXPECT_LE(header[1].str(), header[2].str());
}

// The three files of a trace whose second hop has a hostile reverse name (a comma, quotes, a
// script, CR LF, bytes above 127), and the code page of its bytes, for read_back_saved.py.
class SavedForReadBack : public SaveAs {};

TEST_F(SavedForReadBack, HostileReverseNameInEveryFormat) {
    DiscoverLabRoute();
    HopList[1]->SetHostText("a,\"b\"<script>alert('x')</script>&\r\n\xE9\xFC");
    StopTrace();
    const std::string saved = TestProgramFolder("saved") + "\\hostile.";
    CreateDirectoryA(TestProgramFolder("saved").c_str(), nullptr);
    for (const char* type : {"txt", "html", "csv"}) {
        DeleteFileA((saved + type).c_str());
        SaveAsAnswering(saved + type, 1);
    }
    WriteWholeFile(saved + "code-page", std::to_string(GetACP()));
    EXPECT_EQ(messageBoxes.Count(), 0u);
}

// The events of a trace in every file that names them: the text file's section between its
// header and the table, which still ends the file as Copy gives it; the web page's table, the
// JSON file's array and the Events window's own CSV, read back by read_back_saved.py, with a
// hostile name in a route change.
TEST_F(SavedForReadBack, EventsInEveryFormat) {
    DiscoverLabRoute();
    LockEchoStatistics();
    ClearTraceEvents();
    TraceEvent& loss = AddTraceEvent(TraceEventKind::LossEpisode, 1, 3);
    loss.EndSecond = 16, loss.Sent = 12, loss.Lost = 7, loss.WorstRtt = 35, loss.NotPassedOn = 1;
    AddTraceEvent(TraceEventKind::DestinationSilent, LAB_DEST_HOP - 1, 20).Open = 1;
    TraceEvent& route = AddTraceEvent(TraceEventKind::RouteChange, 2, 21);
    route.OldAddress = inet_addr(LAB_R3_ADDR), route.NewAddress = inet_addr("198.18.9.1");
    strcpy(route.OldName, LAB_R3_NAME);
    strcpy(route.NewName, "a,\"b\"<script>&\r\n\xE9\xFC");
    UnlockEchoStatistics();
    StopTrace();
    PumpFor(200);
    const std::string saved = TestProgramFolder("saved") + "\\events.";
    CreateDirectoryA(TestProgramFolder("saved").c_str(), nullptr);
    for (const char* type : {"txt", "html", "json"}) {
        DeleteFileA((saved + type).c_str());
        SaveAsAnswering(saved + type, 1);
    }
    DeleteFileA((saved + "list.csv").c_str());
    Answers.push_back({saved + "list.csv", 1});
    SaveEventsAs();
    EXPECT_EQ(messageBoxes.Count(), 0u);

    std::string report;
    BuildTraceReport(report, 0);
    const std::string text = ReadWholeFile(saved + "txt");
    ASSERT_GT(text.size(), report.size());
    EXPECT_EQ(text.substr(text.size() - report.size()), report) << "the file ends with the report";
    const size_t header = text.find("\r\n\r\n") + 4, table = text.find("\r\n\r\n", header) + 4;
    EXPECT_EQ(table, text.size() - report.size()) << "the events sit between header and table";
    const std::string events = text.substr(header, table - header);
    std::smatch line;
    const std::string iso = "20\\d\\d-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d";
    EXPECT_TRUE(std::regex_match(
        events, line,
        std::regex("Events \\(3\\):\r\n" + iso +
                    "  Hop 2  Loss: 7 of 12 echoes lost, worst 35 ms \\(the hops after it did not "
                    "lose echoes: most likely this router limiting its own answers\\)  "
                    "\\[14 s\\]\r\n" +
                    iso + "  Hop 7  The destination stopped answering  \\[\\d+ s, open\\]\r\n" +
                    iso + "  Hop 3  Route changed: 198\\.18\\.3\\.1 \\(" LAB_R3_NAME
                          "\\) -> 198\\.18\\.9\\.1 \\(a,\"b\"<script>&\r\n\xE9\xFC\\)\r\n\r\n")))
        << events;
}

} // namespace
