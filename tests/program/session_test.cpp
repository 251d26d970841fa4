// Session files in the running program: a trace with loss saved, the program started again and
// the session opened (table, copied report, every Save As file and the graph's figures as they
// were), bad files refused with one box and nothing changed, the ways a file is opened (command
// line, a drop, the recent sessions), and autosave while tracing and at Exit.
#include "echo/echo_service.h"
#include "events/events_view.h"
#include "events/trace_events.h"
#include "graph/graph.h"
#include "hoptable/trace_report.h"
#include "save/save_trace.h"
#include "session/session.h"
#include "session/session_format.h"
#include "settings/preferences.h"
#include "trace_fixture.h"
#include <shlobj.h>
#include <map>
#include <regex>

namespace {

// What a user can see of a stopped trace, and what leaves it.
struct TraceView {
    std::vector<std::string> rows;
    std::string report, htmlReport;
    std::vector<std::string> files;   // text, HTML and CSV, their saving time blanked
    std::vector<std::string> figures; // every hop's figures over every span
    uint32_t endSecond = 0;
    bool operator==(const TraceView& other) const {
        return rows == other.rows && report == other.report && htmlReport == other.htmlReport &&
               files == other.files && figures == other.figures && endSecond == other.endSecond;
    }
};

class Sessions : public TraceTest {
  protected:
    std::string File(const char* name) { return folder->File(name); }
    // A trace of the lab's route where the second hop and the destination lose echoes.
    void TraceWithLoss() {
        UseScenario(LabRouteScenario("echo " LAB_R2_ADDR " 32 timeout times 3\n"
                                     "echo " LAB_DEST_ADDR " 32 timeout times 2\n"
                                     "echo * 32 reply dest rtt 4\n"));
        Start(LAB_DEST_NAME);
        ASSERT_TRUE(WaitForCycleEchoes(120));
        StopTrace();
        PumpFor(300); // the echo out at Stop is counted
    }
    TraceView View() {
        TraceView view;
        for (int r = 0; r < Rows(); r++)
            view.rows.push_back(Row(r));
        BuildTraceReport(view.report, 0);
        BuildTraceReport(view.htmlReport, 1);
        // The saving time, where a file names it (the text file's header, the web page's list),
        // is the moment of the save, whichever second that falls in.
        std::regex saved("(Saved: |<dt>Saved</dt><dd>)"
                         "\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d");
        for (SaveFormat format : {SaveFormat::Text, SaveFormat::Html, SaveFormat::Csv}) {
            std::string file;
            BuildSavedFile(format, file);
            file = std::regex_replace(file, saved, "$1SAVED");
            view.files.push_back(file);
        }
        view.endSecond = TraceEndSecond();
        for (int row = 0; row < HopCount; row++)
            for (GraphSpan span :
                 {GraphSpan::Minute, GraphSpan::TenMinutes, GraphSpan::Hour, GraphSpan::Day}) {
                char text[256];
                FormatSpanFigures(HopSpanFigures(HopList[row], span, view.endSecond), text,
                                  sizeof text);
                view.figures.push_back(text);
            }
        return view;
    }
};

TEST_F(Sessions, ATraceWithLossOpensAfterARestartExactlyAsItStood) {
    TraceWithLoss();
    const TraceView before = View();
    ASSERT_EQ(before.rows.size(), static_cast<size_t>(LAB_DEST_HOP));
    const std::string path = File("overnight.rls");
    ASSERT_EQ(SaveSessionFile(path.c_str()), 0u);
    char started[32];
    SYSTEMTIME local;
    SystemTimeToTzSpecificLocalTime(nullptr, &TraceStartTime, &local);
    snprintf(started, sizeof started, "%04u-%02u-%02u %02u:%02u:%02u", local.wYear, local.wMonth,
             local.wDay, local.wHour, local.wMinute, local.wSecond);

    Restart();
    EXPECT_EQ(Rows(), 0);
    ASSERT_TRUE(OpenSessionFile(path.c_str()));
    EXPECT_EQ(messageBoxes.Count(), 0u);
    const TraceView after = View();
    EXPECT_EQ(after.rows, before.rows);
    EXPECT_EQ(after.report, before.report);
    EXPECT_EQ(after.htmlReport, before.htmlReport);
    EXPECT_EQ(after.files, before.files);
    EXPECT_EQ(after.figures, before.figures);
    EXPECT_EQ(after.endSecond, before.endSecond);
    EXPECT_EQ(HopList[1]->GetSentCount() - HopList[1]->GetReceivedCount(), 3);
    EXPECT_TRUE(std::regex_match(StatusText(255), std::regex(std::string("Opened: overnight\\.rls "
                                                                         "\\(traced ") +
                                                             started + " to 20\\S+ \\S+\\)")))
        << StatusText(255);
    EXPECT_EQ(WindowTitle(), "Routelark - " LAB_DEST_NAME " (" LAB_DEST_ADDR ")");
    EXPECT_EQ(CurrentTraceState, TraceState::Stopped);
    EXPECT_FALSE(GetMenuState(GetMenu(MainWindow), IDM_SAVE_AS, MF_BYCOMMAND) & MF_GRAYED);

    // Esc changes nothing; the hop menu ignores an opened hop; Start traces the host anew.
    SendMessageA(MainWindow, WM_COMMAND, IDM_STOP, 0);
    EXPECT_EQ(View().rows, before.rows);
    HopList[2]->SetIgnored(1);
    SaveSessionFile(File("again.rls").c_str());
    SendMessageA(MainWindow, WM_COMMAND, IDM_START, 0);
    EXPECT_EQ(HopCount, 0) << "a new trace";
    ASSERT_TRUE(PumpUntil([] { return CurrentTraceState == TraceState::Pinging; }, 10000));
    EXPECT_EQ(HopCount, LAB_DEST_HOP);
    StopTrace();
    ASSERT_TRUE(OpenSessionFile(File("again.rls").c_str()));
    EXPECT_TRUE(HopList[2]->IsIgnored());
    EXPECT_EQ(View().rows, before.rows) << "only the row image tells an ignored hop";
}

TEST_F(Sessions, ABadFileGetsOneBoxWithItsReasonAndNothingChanges) {
    TraceWithLoss();
    const std::string good = File("good.rls");
    ASSERT_EQ(SaveSessionFile(good.c_str()), 0u);
    const std::string bytes = ReadWholeFile(good);
    std::string flipped = bytes;
    flipped[bytes.size() / 2] ^= 0x10;
    std::string newer = bytes;
    newer[8] = 3; // version 2 is this one
    const TraceView before = View();
    const struct {
        const char* name;
        std::string content;
        const char* reason;
    } cases[] = {
        {"cut.rls", bytes.substr(0, bytes.size() - 1), "The file is cut short."},
        {"flipped.rls", flipped, "The file is damaged (its checksum does not match)."},
        {"newer.rls", newer, "It was saved by a newer version of Routelark."},
        {"report.rls", before.report, "It is not a Routelark session file."},
        {"empty.rls", "", "It is not a Routelark session file."},
    };
    const std::string title = WindowTitle(), status = StatusText(255);
    for (const auto& c : cases) {
        WriteWholeFile(File(c.name), c.content);
        messageBoxes.Clear();
        EXPECT_FALSE(OpenSessionFile(File(c.name).c_str())) << c.name;
        ASSERT_EQ(messageBoxes.Count(), 1u) << c.name;
        EXPECT_EQ(messageBoxes.Boxes()[0].text,
                  "The session could not be opened\n" + File(c.name) + "\n\n" + c.reason);
        EXPECT_EQ(messageBoxes.Boxes()[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
        EXPECT_TRUE(View() == before) << c.name;
        EXPECT_EQ(WindowTitle(), title);
        EXPECT_EQ(StatusText(255), status);
    }
    messageBoxes.Clear();
    EXPECT_FALSE(OpenSessionFile(File("missing.rls").c_str()));
    ASSERT_EQ(messageBoxes.Count(), 1u);
    EXPECT_EQ(messageBoxes.Boxes()[0].text.rfind(
                  "The session could not be opened\n" + File("missing.rls") + "\n\n", 0),
              0u);
}

// The command line's lone .rls argument, a file dropped on the window, and the File menu's
// recent sessions, newest first, each opening its file.
TEST_F(Sessions, OpensFromTheCommandLineADropAndTheRecentSessions) {
    TraceWithLoss();
    const std::string a = File("a.rls"), b = File("b & c.rls");
    ASSERT_EQ(SaveSessionFile(a.c_str()), 0u);
    ASSERT_EQ(SaveSessionFile(b.c_str()), 0u);
    Restart();
    for (const std::string& ignored : {a + " x.rls", File("a.txt"), std::string("\"") + a})
        OpenSessionOfCommandLine(ignored.c_str());
    EXPECT_EQ(Rows(), 0) << "not a lone session file's name";
    EXPECT_EQ(messageBoxes.Count(), 0u);
    OpenSessionOfCommandLine(("\"" + a + "\"").c_str());
    EXPECT_EQ(Rows(), LAB_DEST_HOP);

    // A drop: the shell's DROPFILES block with one name.
    std::string names = b + '\0' + '\0';
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
    DROPFILES* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), names.data(), names.size());
    GlobalUnlock(drop);
    SendMessageA(MainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_EQ(StatusText(255).rfind("Opened: b & c.rls (traced ", 0), 0u) << StatusText(255);

    HMENU file = GetSubMenu(GetMenu(MainWindow), 0);
    HMENU recent = GetSubMenu(file, 4);
    ASSERT_NE(recent, nullptr);
    // The two opened, newest first, then the trace's autosave at its Stop.
    ASSERT_EQ(GetMenuItemCount(recent), 3);
    char text[1100];
    GetMenuStringA(recent, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_EQ(std::string(text), "&1 " + std::regex_replace(b, std::regex("&"), "&&"));
    GetMenuStringA(recent, 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_EQ(std::string(text), "&2 " + a);
    SendMessageA(MainWindow, WM_COMMAND, GetMenuItemID(recent, 1), 0);
    EXPECT_EQ(StatusText(255).rfind("Opened: a.rls (traced ", 0), 0u) << StatusText(255);
    GetMenuStringA(recent, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_EQ(std::string(text), "&1 " + a) << "the session opened last comes first";
}

// The sections of an INI file's text, by name.
std::map<std::string, std::string> Sections(const std::string& ini) {
    std::map<std::string, std::string> sections;
    std::regex section("\\[([^\\]]+)\\]\\r\\n((?:[^\\[][^\\r]*\\r\\n)*)");
    for (std::sregex_iterator m(ini.begin(), ini.end(), section), end; m != end; ++m)
        sections[(*m)[1]] = (*m)[2];
    return sections;
}

TEST_F(Sessions, AutosaveWritesWhileTracingAndAtExitBesideTheIniFile) {
    UseScenario(LabRouteScenario("echo * 32 reply dest rtt 4\n"));
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForCycleEchoes(20));
    char name[256];
    SuggestTraceFileName(name, sizeof name);
    const std::string path = File("sessions") + "\\" + name + ".rls";
    AutosaveRunningTrace(); // the timer's tick
    FinishAutosave();
    std::string first = ReadWholeFile(path);
    Session session;
    ASSERT_EQ(
        ReadSession(reinterpret_cast<const unsigned char*>(first.data()), first.size(), session),
        SessionError::None)
        << path;
    EXPECT_EQ(session.Hops.size(), static_cast<size_t>(LAB_DEST_HOP));
    ASSERT_TRUE(WaitForCycleEchoes(60));
    ASSERT_TRUE(ShutDown()); // Exit while the trace runs
    std::string last = ReadWholeFile(path);
    ASSERT_EQ(
        ReadSession(reinterpret_cast<const unsigned char*>(last.data()), last.size(), session),
        SessionError::None);
    EXPECT_GT(session.Hops[0].Sent, 20 / LAB_DEST_HOP) << "rewritten at Exit with later echoes";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((File("sessions") + "\\*.rls").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FindNextFileA(search, &found)) << "one file per trace";
    FindClose(search);

    // The five sections are those of a run that never autosaves.
    std::map<std::string, std::string> with = Sections(ReadWholeFile(File("routelark.ini")));
    EXPECT_EQ(with["Sessions"], "Recent1=" + path + "\r\n");
    StartTheProgram();
    WritePrivateProfileStringA("Preferences", "AutosaveMinutes", "0", ".\\routelark.ini");
    DeleteFileA(path.c_str());
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForCycleEchoes(20));
    ASSERT_TRUE(ShutDown());
    EXPECT_EQ(ReadWholeFile(path), "") << "autosave off";
    std::map<std::string, std::string> without = Sections(ReadWholeFile(File("routelark.ini")));
    for (const char* section : {"Setup", "Columns", "Window", "IPs", "WhoIs"})
        EXPECT_EQ(with[section], without[section]) << section;
}

TEST_F(Sessions, AutosaveMinutesAreThePreferencesValueWithinADay) {
    const struct {
        const char* text;
        int minutes;
    } cases[] = {{nullptr, 10}, {"0", 0},        {"1", 1},   {"45", 45},
                 {"-3", 0},     {"99999", 1440}, {"soon", 0}};
    for (const auto& c : cases) {
        WritePrivateProfileStringA("Preferences", "AutosaveMinutes", c.text, ".\\routelark.ini");
        EXPECT_EQ(AutosaveMinutes(), c.minutes) << (c.text ? c.text : "(none)");
    }
}

} // namespace

namespace {

// The event log goes into the session and comes back with its counts, listed in the Events
// window and named in the saved text file as before. A session of
// version 1, written before the log existed, still opens, with none.
TEST_F(Sessions, KeepTheEventsAndAVersionOneFileStillOpens) {
    TraceWithLoss();
    LockEchoStatistics();
    ClearTraceEvents();
    TraceEvent& route = AddTraceEvent(TraceEventKind::RouteChange, 2, 5);
    route.OldAddress = inet_addr(LAB_R3_ADDR), route.NewAddress = inet_addr("198.18.9.1");
    strcpy(route.OldName, LAB_R3_NAME);
    TraceEvent& silent = AddTraceEvent(TraceEventKind::DestinationSilent, LAB_DEST_HOP - 1, 6);
    silent.Open = 1;
    RestoreTraceEventCounts(1002, 1000);
    UnlockEchoStatistics();
    const TraceView before = View();
    std::string text;
    BuildSavedFile(SaveFormat::Text, text);
    ASSERT_NE(text.find("Events (1,002; 1,000 oldest dropped):\r\n"), std::string::npos) << text;
    const std::string path = File("events.rls");
    ASSERT_EQ(SaveSessionFile(path.c_str()), 0u);

    Preferences.AlertSilent = 1;
    LockEchoStatistics();
    ClearTraceEvents();
    UnlockEchoStatistics();
    ASSERT_TRUE(OpenSessionFile(path.c_str()));
    LockEchoStatistics();
    ASSERT_EQ(TraceEventCount(), 2);
    EXPECT_EQ(TraceEventsSinceStart(), 1002u);
    EXPECT_EQ(TraceEventsDropped(), 1000u);
    EXPECT_EQ(TraceEventAt(0).Kind, TraceEventKind::RouteChange);
    EXPECT_STREQ(TraceEventAt(0).OldName, LAB_R3_NAME);
    EXPECT_EQ(TraceEventAt(1).Open, 1);
    UnlockEchoStatistics();
    EXPECT_EQ(View(), before) << "the saved files name the same events";
    SendMessageA(MainWindow, WM_COMMAND, IDM_EVENTS, 0);
    ASSERT_NE(EventsWindow, nullptr);
    HWND list = GetWindow(EventsWindow, GW_CHILD);
    EXPECT_EQ(ListViewRowCount(list), 2);
    EXPECT_EQ(ListViewCell(list, 0, 2),
              "Route changed: " LAB_R3_ADDR " (" LAB_R3_NAME ") -> 198.18.9.1");
    char title[64] = "";
    GetWindowTextA(EventsWindow, title, sizeof title);
    EXPECT_STREQ(title, "Events (1,002; 1,000 oldest dropped)");
    DestroyWindow(EventsWindow);
    Preferences = kDefaultPreferences;

    // The same trace written as version 1: no events section; it opens with an empty log.
    Session session;
    std::string bytes = ReadWholeFile(path);
    ASSERT_EQ(ReadSession(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                          session),
              SessionError::None);
    session.Version = 1;
    const SessionSource source = {
        &session, static_cast<int>(session.Hops.size()),
        [](int index, SessionHop& hop, void* context) -> const HopHistory* {
            hop = static_cast<Session*>(context)->Hops[index];
            return nullptr; // the histories are not what this case is about
        },
        &session};
    std::string old;
    WriteSession(source, old);
    ASSERT_EQ(old[8], 1);
    WriteWholeFile(File("old.rls"), old);
    ASSERT_TRUE(OpenSessionFile(File("old.rls").c_str()));
    EXPECT_EQ(messageBoxes.Count(), 0u);
    EXPECT_EQ(Rows(), LAB_DEST_HOP);
    LockEchoStatistics();
    EXPECT_EQ(TraceEventCount(), 0);
    EXPECT_EQ(TraceEventsSinceStart(), 0u);
    UnlockEchoStatistics();
}

} // namespace
