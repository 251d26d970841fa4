// The INI file: Settings, column layout, window placement and histories survive a restart;
// a missing, odd or garbled file gives the defaults and never harms the program.
#include "app/app.h"
#include "app/resource.h"
#include "common/bounded_text.h"
#include "harness/list_view.h"
#include "harness/program.h"
#include "harness/test_names.h"
#include "hoptable/hop_table.h"
#include "settings/history.h"
#include "settings/settings.h"
#include <algorithm>
#include <vector>

namespace {

class SettingsFile : public ProgramTest {
  protected:
    // Ends the program, replaces the INI file and starts again.
    void StartWith(const std::string& ini) {
        ShutDown();
        WriteWholeFile(folder->File("routelark.ini"), ini);
        StartTheProgram();
    }
    std::string Ini() { return ReadWholeFile(folder->File("routelark.ini")); }
    bool Checked(int column) {
        return GetMenuState(GetMenu(MainWindow), IDM_COLUMN_FIRST + column, MF_BYCOMMAND) &
               MF_CHECKED;
    }
    std::vector<std::string> Titles() {
        std::vector<std::string> titles;
        for (int v = 0; v < ListViewColumnCount(HopTable); v++)
            titles.push_back(ListViewColumnTitle(HopTable, v));
        return titles;
    }
    std::vector<std::string> HostEntries() {
        std::vector<std::string> entries;
        char text[256];
        for (int i = 0; SendMessageA(HostBox, CB_GETLBTEXTLEN, i, 0) != CB_ERR; i++) {
            SendMessageA(HostBox, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            entries.push_back(text);
        }
        return entries;
    }
    std::string HostBoxText() {
        char text[256] = "";
        GetWindowTextA(HostBox, text, sizeof text);
        return text;
    }
    RECT WindowRect() {
        RECT r;
        GetWindowRect(MainWindow, &r);
        return r;
    }
    RECT DefaultRect() {
        POINT o = DefaultWindowOrigin();
        return RECT{o.x, o.y, o.x + 700, o.y + 340};
    }
};

void ExpectRect(const RECT& r, const RECT& expected, const std::string& what) {
    EXPECT_EQ(r.left, expected.left) << what;
    EXPECT_EQ(r.top, expected.top) << what;
    EXPECT_EQ(r.right, expected.right) << what;
    EXPECT_EQ(r.bottom, expected.bottom) << what;
}

TEST_F(SettingsFile, WithoutAFileEverythingHasItsDefault) {
    const SettingsRecord s = Settings;
    EXPECT_EQ(std::vector<int>({s.PingTimeout, s.TraceDelay, s.PingDelay, s.TraceTTL, s.MaxHops,
                                s.Retries, s.IgnoreFirst, s.CopyHTML}),
              std::vector<int>({1000, 0, 0, 32, 32, 1, 0, 0}));
    const int widths[] = {44, 110, 240, 50, 50, 60, 70, 70, 70, 60};
    ASSERT_EQ(ListViewColumnCount(HopTable), 10);
    for (int n = 0; n < 10; n++) {
        EXPECT_EQ(ListViewColumnWidth(HopTable, n), widths[n]) << "column " << n;
        EXPECT_TRUE(Checked(n)) << "column " << n;
    }
    ExpectRect(WindowRect(), DefaultRect(), "centred on the primary screen");
    EXPECT_TRUE(visibleAfterStart);
}

TEST_F(SettingsFile, EverySectionSurvivesARestart) {
    Settings = {2500, 700, 300, 64, 20, 3, 1, 1};
    SendMessageA(MainWindow, WM_COMMAND, IDM_COLUMN_FIRST + kColumnHostName, 0);
    SendMessageA(HopTable, LVM_SETCOLUMNWIDTH, 5, 123); // Av RTT, with Host Name hidden
    SetWindowPos(MainWindow, nullptr, 50, 60, 640, 300, SWP_NOZORDER);
    AddToHistory(HostBox, "zeta.example");
    AddToHistory(HostBox, "alpha.example");
    CopyText(DestinationText, sizeof DestinationText, "zeta.example");
    // The WhoIs server box is unsorted; its section is written at once.
    HWND servers = CreateWindowExA(0, "COMBOBOX", "", CBS_DROPDOWN, 0, 0, 100, 100, MainWindow,
                                   nullptr, nullptr, nullptr);
    AddToHistory(servers, "whois.second.example");
    AddToHistory(servers, "whois.first.example");
    SaveHistory(servers, "WhoIs", "whois.first.example");
    ShutDown();
    EXPECT_EQ(Ini(), "[WhoIs]\r\nSelected=2\r\n1=whois.second.example\r\n2=whois.first.example\r\n"
                     "[Setup]\r\nPingTimeout=2500\r\nTraceDelay=700\r\nPingDelay=300\r\n"
                     "TraceTTL=64\r\nMaxHops=20\r\nRetries=3\r\nIgnoreFirst=1\r\nCopyHTML=1\r\n"
                     "[Columns]\r\nColumn0=44\r\nColumn1=110\r\nColumn2=-240\r\nColumn3=50\r\n"
                     "Column4=50\r\nColumn5=60\r\nColumn6=123\r\nColumn7=70\r\nColumn8=70\r\n"
                     "Column9=60\r\n[Window]\r\nXpos=50\r\nYpos=60\r\nWidth=640\r\n"
                     "Height=300\r\n[IPs]\r\nSelected=2\r\n1=alpha.example\r\n"
                     "2=zeta.example\r\n");

    StartTheProgram();
    const SettingsRecord s = Settings;
    EXPECT_EQ(std::vector<int>({s.PingTimeout, s.TraceDelay, s.PingDelay, s.TraceTTL, s.MaxHops,
                                s.Retries, s.IgnoreFirst, s.CopyHTML}),
              std::vector<int>({2500, 700, 300, 64, 20, 3, 1, 1}));
    EXPECT_FALSE(Checked(kColumnHostName));
    EXPECT_EQ(Columns[kColumnHostName].ListWidth, 240);
    EXPECT_EQ(ListViewColumnTitle(HopTable, 5), "Av RTT");
    EXPECT_EQ(ListViewColumnWidth(HopTable, 5), 123);
    ExpectRect(WindowRect(), RECT{50, 60, 690, 360}, "placement");
    EXPECT_EQ(HostEntries(), std::vector<std::string>({"alpha.example", "zeta.example"}));
    EXPECT_EQ(HostBoxText(), "zeta.example") << "the remembered entry is selected";
    servers = CreateWindowExA(0, "COMBOBOX", "", CBS_DROPDOWN, 0, 0, 100, 100, MainWindow, nullptr,
                              nullptr, nullptr);
    EXPECT_EQ(LoadHistory(servers, "WhoIs"), 2);
    EXPECT_EQ(SendMessageA(servers, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(servers, CB_GETCURSEL, 0, 0), 1);
}

struct ColumnCase {
    const char* what;
    const char* columns; // the "Columns" section's lines
    std::vector<std::string> titles;
    std::vector<int> widths;
    std::vector<int> unchecked;
};

class ColumnValues : public SettingsFile, public ::testing::WithParamInterface<ColumnCase> {};

TEST_P(ColumnValues, ShowHideAndWidthAsStoredAndWrittenBack) {
    const ColumnCase& c = GetParam();
    StartWith(std::string("[Columns]\r\n") + c.columns);
    EXPECT_EQ(Titles(), c.titles);
    for (size_t v = 0; v < c.widths.size(); v++)
        EXPECT_EQ(ListViewColumnWidth(HopTable, static_cast<int>(v)), c.widths[v]) << "at " << v;
    for (int n = 0; n < 10; n++) {
        bool hidden = std::find(c.unchecked.begin(), c.unchecked.end(), n) != c.unchecked.end();
        EXPECT_EQ(Checked(n), !hidden) << "check mark of column " << n;
    }
    ShutDown();
    EXPECT_NE(Ini().find(c.columns), std::string::npos) << "written back\n" << Ini();
}

const ColumnCase kColumnCases[] = {
    {"host name hidden, its width remembered",
     "Column2=-240\r\n",
     {"Hop", "IP Address", "Sent", "Recv", "RTT", "Av RTT", "Min RTT", "Max RTT", "% Loss"},
     {44, 110, 50, 50, 60, 70, 70, 70, 60},
     {2}},
    {"a later column keeps its width when one before it is hidden",
     "Column1=-110\r\nColumn2=240\r\nColumn3=50\r\nColumn4=50\r\nColumn5=90\r\n",
     {"Hop", "Host Name", "Sent", "Recv", "RTT", "Av RTT", "Min RTT", "Max RTT", "% Loss"},
     {44, 240, 50, 50, 90, 70, 70, 70, 60},
     {1}},
    {"the hop column hides although the menu cannot show it again",
     "Column0=-44\r\n",
     {"IP Address", "Host Name", "Sent", "Recv", "RTT", "Av RTT", "Min RTT", "Max RTT", "% Loss"},
     {110, 240, 50, 50, 60, 70, 70, 70, 60},
     {0}},
    {"zero is hidden with width 0",
     "Column0=44\r\nColumn1=110\r\nColumn2=240\r\nColumn3=0\r\n",
     {"Hop", "IP Address", "Host Name", "Recv", "RTT", "Av RTT", "Min RTT", "Max RTT", "% Loss"},
     {44, 110, 240, 50, 60, 70, 70, 70, 60},
     {3}},
};
INSTANTIATE_TEST_SUITE_P(Stored, ColumnValues, ::testing::ValuesIn(kColumnCases),
                         [](const auto& info) { return CaseName(info.param.what); });

TEST_F(SettingsFile, ShownColumnAtWidthZeroComesBackHidden) {
    SendMessageA(HopTable, LVM_SETCOLUMNWIDTH, kColumnSent, 0);
    Restart();
    EXPECT_NE(Ini().find("Column3=0\r\n"), std::string::npos);
    EXPECT_EQ(ListViewColumnTitle(HopTable, 3), "Recv");
    EXPECT_FALSE(Checked(kColumnSent));
}

TEST_F(SettingsFile, HistoryLoadsUpToTheFirstMissingOrEmptyKey) {
    StartWith("[IPs]\r\n1=b.example\r\n2=a.example\r\n4=d.example\r\n");
    EXPECT_EQ(HostEntries(), std::vector<std::string>({"a.example", "b.example"}));
    StartWith("[IPs]\r\n1=b.example\r\n2=\r\n3=c.example\r\n");
    EXPECT_EQ(HostEntries(), std::vector<std::string>({"b.example"}));
}

TEST_F(SettingsFile, AnEntryInAnotherCaseIsTheSameEntry) {
    StartWith("[IPs]\r\nSelected=1\r\n1=a.example\r\n2=Host.Example\r\n");
    AddToHistory(HostBox, "HOST.example");
    EXPECT_EQ(HostEntries(), std::vector<std::string>({"a.example", "Host.Example"}));
    CopyText(DestinationText, sizeof DestinationText, "HOST.example");
    ShutDown();
    EXPECT_NE(Ini().find("[IPs]\r\nSelected=2\r\n"), std::string::npos) << Ini();
}

// Only a whole entry is a duplicate: the beginning of one is an entry of its own.
TEST_F(SettingsFile, TheBeginningOfAnEntryIsANewEntry) {
    StartWith("[IPs]\r\nSelected=1\r\n1=dest.routelark.test\r\n");
    AddToHistory(HostBox, "dest");
    EXPECT_EQ(HostEntries(), std::vector<std::string>({"dest", "dest.routelark.test"}));
    CopyText(DestinationText, sizeof DestinationText, "dest");
    ShutDown();
    EXPECT_NE(Ini().find("[IPs]\r\nSelected=1\r\n1=dest\r\n2=dest.routelark.test\r\n"),
              std::string::npos)
        << Ini();
}

TEST_F(SettingsFile, SelectedNamesTheCurrentTextOrFallsBackToOne) {
    struct {
        const char* current;
        const char* selected;
    } const cases[] = {
        {"", "Selected=1"}, {"not.in.list", "Selected=1"}, {"c.example", "Selected=3"}};
    for (const auto& c : cases) {
        StartWith("[IPs]\r\n1=a.example\r\n2=b.example\r\n3=c.example\r\n");
        CopyText(DestinationText, sizeof DestinationText, c.current);
        ShutDown();
        EXPECT_NE(Ini().find(std::string("[IPs]\r\n") + c.selected + "\r\n"), std::string::npos)
            << "current text \"" << c.current << "\"\n"
            << Ini();
        StartTheProgram();
    }
    // A stored "Selected" outside the list selects nothing.
    for (const char* selected : {"0", "4", "-7"}) {
        StartWith(std::string("[IPs]\r\nSelected=") + selected + "\r\n1=a.example\r\n");
        EXPECT_EQ(HostBoxText(), "") << "Selected=" << selected;
    }
}

TEST_F(SettingsFile, HostHistoryIsSavedSortedAndEntriesCutTo127Characters) {
    const std::string longEntry(200, 'q');
    StartWith("[IPs]\r\n1=zeta\r\n2=" + longEntry + "\r\n3=Alpha\r\n4=mid\r\n");
    ShutDown();
    EXPECT_NE(Ini().find("[IPs]\r\nSelected=1\r\n1=Alpha\r\n2=mid\r\n3=" + std::string(127, 'q') +
                         "\r\n4=zeta\r\n"),
              std::string::npos)
        << Ini();
}

// What a hand-edited or damaged file may hold: the program starts, clamps what it read,
// and writes a readable file again.
TEST_F(SettingsFile, GarbledFilesNeverHarmTheProgram) {
    std::string junk;
    for (int i = 0; i < 4096; i++)
        junk += static_cast<char>((i * 7919 + 13) & 0xFF);
    std::string big;
    while (big.size() < 4 * 1024 * 1024)
        big += "[IPs]\r\n1=" + std::string(300, 'h') + "\r\nColumn2=-\r\n";
    const std::string cases[] = {
        "[Setup]\r\nPingTimeout=abc\r\nMaxHops=99999999999\r\nRetries=-99999999999\r\n",
        "[Columns]\r\nColumn2=-2147483648\r\nColumn3=99999999\r\nColumn4=junk\r\n",
        "[Window]\r\nXpos=2147483000\r\nYpos=-2147483648\r\nWidth=99999\r\nHeight=x\r\n",
        junk,
        "[Setup]\r\n" + junk + "\r\n[IPs]\r\n1=" + junk + "\r\n",
        big,
        "no sections at all\r\n=\r\n[\r\n]\r\n[]\r\n",
    };
    for (const std::string& ini : cases) {
        StartWith(ini);
        ASSERT_TRUE(started);
        EXPECT_TRUE(visibleAfterStart);
        EXPECT_LE(Settings.PingTimeout, 8000);
        EXPECT_GE(Settings.PingTimeout, 0);
        EXPECT_LE(Settings.MaxHops, 40);
        EXPECT_GE(Settings.Retries, 1);
        RECT r = WindowRect();
        EXPECT_GT(r.right - r.left, 0);
        EXPECT_GT(r.bottom - r.top, 0);
        Restart(); // and the file it wrote reads back
        EXPECT_TRUE(visibleAfterStart);
    }
}

struct PlacementCase {
    const char* what;
    int x, y, width, height;
    bool applied; // otherwise the default placement
};

class StoredPlacement : public SettingsFile, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(StoredPlacement, IsAppliedOnlyWhenSomePartOfItIsOnAMonitor) {
    const PlacementCase& c = GetParam();
    char ini[256];
    FormatText(ini, sizeof ini, "[Window]\r\nXpos=%d\r\nYpos=%d\r\nWidth=%d\r\nHeight=%d\r\n", c.x,
               c.y, c.width, c.height);
    StartWith(ini);
    ExpectRect(WindowRect(),
               c.applied ? RECT{c.x, c.y, c.x + c.width, c.y + c.height} : DefaultRect(), c.what);
}

const PlacementCase kPlacementCases[] = {
    {"on screen", 30, 40, 600, 300, true},
    {"partly off the top left", -100, -50, 700, 340, true},
    {"no width", 30, 40, 0, 300, false},
    {"negative height", 30, 40, 600, -5, false},
    {"on no monitor", -5000, -5000, 700, 340, false},
    {"edges beyond any coordinate", 2147483000, 10, 1000, 300, false},
};
INSTANTIATE_TEST_SUITE_P(Window, StoredPlacement, ::testing::ValuesIn(kPlacementCases),
                         [](const auto& info) { return CaseName(info.param.what); });

TEST_F(SettingsFile, MinimisedOrMaximisedWindowSavesItsRestoredRectangle) {
    for (int show : {SW_MINIMIZE, SW_MAXIMIZE}) {
        SetWindowPos(MainWindow, nullptr, 40, 50, 600, 300, SWP_NOZORDER);
        ShowWindow(MainWindow, show);
        Restart();
        ExpectRect(WindowRect(), RECT{40, 50, 640, 350},
                   show == SW_MINIMIZE ? "closed minimised" : "closed maximised");
    }
}

} // namespace
