// The Setup dialog as a user meets it: opened by the Setup command, its template, the values
// it shows, what OK stores, what Cancel, Esc and the close box leave alone, and a running
// trace that takes a changed timeout from its next probe on.
#include "harness/dialog_driver.h"
#include "settings/dialogs.h"
#include "trace_fixture.h"

namespace {

const int kNumberBoxes[] = {IDC_SETUP_PING_TIMEOUT, IDC_SETUP_TRACE_DELAY, IDC_SETUP_PING_DELAY,
                            IDC_SETUP_TRACE_TTL,    IDC_SETUP_MAX_HOPS,    IDC_SETUP_RETRIES};

std::vector<int> Fields(const SettingsRecord& s) {
    return {s.PingTimeout, s.TraceDelay, s.PingDelay,   s.TraceTTL,
            s.MaxHops,     s.Retries,    s.IgnoreFirst, s.CopyHTML};
}

DialogDriver::Step Press(int id) {
    return [id](HWND dialog) { DialogDriver::Click(dialog, id); };
}

class SetupDialog : public ProgramTest {
  protected:
    // As the Options menu, Ctrl+S and the toolbar button do; returns once the dialog closed.
    void OpenSetup() {
        SendMessageA(MainWindow, WM_COMMAND, IDM_SETUP, 0);
        EXPECT_EQ(driver.Abandoned(), 0) << "no step closed the dialog";
    }
    INT_PTR RunSetup() {
        return DialogBoxParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_SETUP), MainWindow,
                               SetupDialogProc, 0);
    }
    DialogDriver driver;
};

struct TemplateControl {
    int id;
    const char* text;        // the boxes show the values of a start without INI file
    int x, y, width, height; // dialog units
    DWORD style;             // with the low four bits (the kind) and WS_TABSTOP exact
    bool border;             // the dialog turns WS_BORDER into a sunken client edge
};

const TemplateControl kSetupTemplate[] = {
    {1016, "1000", 140, 5, 40, 12, WS_TABSTOP | ES_AUTOHSCROLL, true},
    {1012, "0", 140, 21, 40, 12, WS_TABSTOP | ES_AUTOHSCROLL, true},
    {1013, "0", 140, 37, 40, 12, WS_TABSTOP | ES_AUTOHSCROLL, true},
    {1014, "32", 140, 53, 40, 12, WS_TABSTOP | ES_AUTOHSCROLL, true},
    {1018, "32", 140, 69, 40, 12, WS_TABSTOP | ES_AUTOHSCROLL, true},
    {1019, "1", 140, 85, 40, 12, WS_TABSTOP | ES_AUTOHSCROLL, true},
    {1020, "Ignore first hop", 10, 100, 139, 10, BS_AUTOCHECKBOX | BS_LEFTTEXT | WS_TABSTOP, false},
    {1021, "Copy to clipboard in HTML format", 10, 115, 139, 10,
     BS_AUTOCHECKBOX | BS_LEFTTEXT | WS_TABSTOP, false},
    {IDOK, "OK", 195, 5, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP, false},
    {IDCANCEL, "Cancel", 195, 22, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, false},
    {0xFFFF, "Ping timeout value (ms)", 10, 5, 115, 10, SS_LEFT, false},
    {0xFFFF, "Delay between traces (ms)", 10, 21, 115, 10, SS_LEFT, false},
    {0xFFFF, "Delay between pings (ms)", 10, 37, 115, 10, SS_LEFT, false},
    {0xFFFF, "Default TLL for trace (ms)", 10, 53, 115, 10, SS_LEFT, false},
    {0xFFFF, "Max hops", 10, 69, 115, 10, SS_LEFT, false},
    {0xFFFF, "Max retries per initial ping", 10, 85, 115, 10, SS_LEFT, false},
};

RECT InPixels(HWND dialog, int x, int y, int width, int height) {
    RECT rect = {x, y, x + width, y + height};
    MapDialogRect(dialog, &rect);
    return rect;
}

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

// Checks the open dialog against its template (title, size, font, the controls in template
// order, the tab order and the focus) and the values it shows after a start without INI file.
void ExpectSetupTemplate(HWND dialog) {
    char text[128] = "";
    GetWindowTextA(dialog, text, sizeof text);
    EXPECT_STREQ(text, "Routelark - Setup");
    DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(GetWindowLongA(dialog, GWL_STYLE) & frame, frame);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(Describe(client), Describe(InPixels(dialog, 0, 0, 252, 130)));
    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");

    HWND control = GetWindow(dialog, GW_CHILD);
    for (const TemplateControl& expected : kSetupTemplate) {
        SCOPED_TRACE(expected.text[0] ? expected.text : std::to_string(expected.id));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(GetDlgCtrlID(control), expected.id);
        GetWindowTextA(control, text, sizeof text);
        EXPECT_STREQ(text, expected.text);
        RECT rect;
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(Describe(rect), Describe(InPixels(dialog, expected.x, expected.y, expected.width,
                                                    expected.height)));
        DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
        EXPECT_EQ(style & (expected.style | 0xF | WS_TABSTOP), expected.style);
        bool border =
            (style & WS_BORDER) || (GetWindowLongA(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        EXPECT_EQ(border, expected.border);
        control = GetWindow(control, GW_HWNDNEXT);
    }
    EXPECT_EQ(control, nullptr) << "a control more than the template holds";
    EXPECT_FALSE(IsDlgButtonChecked(dialog, IDC_SETUP_IGNORE_FIRST));
    EXPECT_FALSE(IsDlgButtonChecked(dialog, IDC_SETUP_COPY_HTML));

    std::vector<int> tabOrder;
    HWND item = GetNextDlgTabItem(dialog, nullptr, FALSE);
    for (int i = 0; i < 11; i++, item = GetNextDlgTabItem(dialog, item, FALSE))
        tabOrder.push_back(GetDlgCtrlID(item));
    EXPECT_EQ(tabOrder, (std::vector<int>{1016, 1012, 1013, 1014, 1018, 1019, 1020, 1021, IDOK,
                                          IDCANCEL, 1016}));
    // The dialog selects the whole text of the box it gives the focus to. (The focus itself
    // may have gone to another test's window on the shared desktop by now.)
    DWORD selection = static_cast<DWORD>(SendDlgItemMessageA(dialog, 1016, EM_GETSEL, 0, 0));
    EXPECT_EQ(selection, static_cast<DWORD>(MAKELONG(0, 4))) << "the first box has the focus";
}

TEST_F(SetupDialog, OpensAsItsTemplateSaysShowingTheValuesOfAStartWithoutIniFile) {
    driver.Then(ExpectSetupTemplate);
    driver.Then(Press(IDCANCEL));
    OpenSetup();
}

struct Entry {
    const char* why;
    int box;
    const char* text;
    int SettingsRecord::*field;
    int stored;
};

const Entry kEntries[] = {
    // A value in range stands.
    {"delay between traces", IDC_SETUP_TRACE_DELAY, "250", &SettingsRecord::TraceDelay, 250},
    // Values out of range fall back.
    {"timeout 9000", IDC_SETUP_PING_TIMEOUT, "9000", &SettingsRecord::PingTimeout, 1000},
    {"41 hops", IDC_SETUP_MAX_HOPS, "41", &SettingsRecord::MaxHops, 32},
    {"TTL 129", IDC_SETUP_TRACE_TTL, "129", &SettingsRecord::TraceTTL, 32},
    {"no retries", IDC_SETUP_RETRIES, "0", &SettingsRecord::Retries, 1},
    // Above 2147483647 the number reads negative.
    {"3000000000 between pings", IDC_SETUP_PING_DELAY, "3000000000", &SettingsRecord::PingDelay, 0},
    // No number reads 0: a timeout of 0 stands, retries of 0 fall back.
    {"empty timeout", IDC_SETUP_PING_TIMEOUT, "", &SettingsRecord::PingTimeout, 0},
    {"timeout of letters", IDC_SETUP_PING_TIMEOUT, "abc", &SettingsRecord::PingTimeout, 0},
    {"empty retries", IDC_SETUP_RETRIES, "", &SettingsRecord::Retries, 1},
    {"retries of letters", IDC_SETUP_RETRIES, "many", &SettingsRecord::Retries, 1},
};

TEST_F(SetupDialog, OkStoresEachBoxClampedAndLeavesTheOthers) {
    for (const Entry& entry : kEntries) {
        Settings = {2000, 5, 6, 7, 8, 3, 0, 0};
        SettingsRecord expected = Settings;
        expected.*entry.field = entry.stored;
        driver.Then([&](HWND dialog) { SetDlgItemTextA(dialog, entry.box, entry.text); });
        driver.Then(Press(IDOK));
        OpenSetup();
        EXPECT_EQ(Fields(Settings), Fields(expected)) << entry.why << ": \"" << entry.text << '"';
    }
    EXPECT_EQ(ReadWholeFile(folder->File("routelark.ini")), "") << "OK writes no INI file";
}

TEST_F(SetupDialog, CheckBoxesShowAndStoreTheLowestBitAndReturnIsOk) {
    Settings.IgnoreFirst = 3;
    Settings.CopyHTML = 2;
    UINT shown[2] = {};
    driver.Then([&](HWND dialog) {
        shown[0] = IsDlgButtonChecked(dialog, IDC_SETUP_IGNORE_FIRST);
        shown[1] = IsDlgButtonChecked(dialog, IDC_SETUP_COPY_HTML);
        DialogDriver::Click(dialog, IDC_SETUP_IGNORE_FIRST);
        DialogDriver::Click(dialog, IDC_SETUP_COPY_HTML);
    });
    driver.Then([](HWND dialog) { DialogDriver::PressKey(dialog, VK_RETURN); });
    EXPECT_EQ(RunSetup(), 1);
    EXPECT_EQ(shown[0], static_cast<UINT>(BST_CHECKED)) << "3 has its lowest bit set";
    EXPECT_EQ(shown[1], static_cast<UINT>(BST_UNCHECKED)) << "2 has not";
    EXPECT_EQ(Settings.IgnoreFirst, 0);
    EXPECT_EQ(Settings.CopyHTML, 1);
}

TEST_F(SetupDialog, CancelEscAndTheCloseBoxLeaveEveryValueAsItWas) {
    const struct {
        const char* way;
        DialogDriver::Step step;
    } ways[] = {
        {"Cancel", Press(IDCANCEL)},
        {"Esc", [](HWND dialog) { DialogDriver::PressKey(dialog, VK_ESCAPE); }},
        {"close box", DialogDriver::ClickCloseBox},
    };
    const SettingsRecord before = {2000, 5, 6, 7, 8, 3, 1, 0};
    for (const auto& way : ways) {
        Settings = before;
        driver.Then([](HWND dialog) {
            for (int id : kNumberBoxes)
                SetDlgItemTextA(dialog, id, "9");
            DialogDriver::Click(dialog, IDC_SETUP_IGNORE_FIRST);
            DialogDriver::Click(dialog, IDC_SETUP_COPY_HTML);
        });
        driver.Then(way.step);
        EXPECT_EQ(RunSetup(), 0) << way.way;
        EXPECT_EQ(Fields(Settings), Fields(before)) << way.way;
    }
    EXPECT_EQ(driver.Abandoned(), 0);
}

class SetupDuringATrace : public TraceTest {
  protected:
    DialogDriver driver;
    TimerRecorder timers;
};

// Without pauses the echo worker pings on by itself; a pause and a timeout set up meanwhile
// take over from the echo out.
TEST_F(SetupDuringATrace, PauseAndTimeoutSetWhileTheWorkerPingsApplyFromTheEchoOut) {
    UseScenario(LabRouteScenario("echo * 32 reply dest rtt 9 hold\n"));
    Start(LAB_DEST_NAME);
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1) << "the ping cycle never began";
    driver.Then([](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_SETUP_PING_DELAY, "60000");
        SetDlgItemTextA(dialog, IDC_SETUP_PING_TIMEOUT, "2500");
    });
    driver.Then(Press(IDOK));
    SendMessageA(MainWindow, WM_COMMAND, IDM_SETUP, 0);
    FakeIcmpReleaseHeld();
    ASSERT_TRUE(WaitForState(TraceState::Waiting));
    PumpFor(100);
    ASSERT_EQ(CycleEchoes().size(), 1u) << "no echo before the pause";
    std::vector<UINT> pauses;
    for (const RecordedTimer& t : timers.Timers())
        if (t.window == MainWindow && t.id == kPingTimerId)
            pauses.push_back(t.elapse);
    EXPECT_EQ(pauses, std::vector<UINT>{60000u});
    SendMessageA(MainWindow, WM_TIMER, kPingTimerId, 0); // the pause ends
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1);
    ASSERT_EQ(CycleEchoes().size(), 2u);
    EXPECT_EQ(CycleEchoes()[1].timeout, 2500u);
    EXPECT_EQ(StatusText(0), "Hop 2");
}

TEST_F(SetupDuringATrace, NextProbeUsesTheTimeoutChangedInSetup) {
    UseScenario(LabRouteScenario("echo " LAB_DEST_ADDR " 2 reply " LAB_R2_ADDR
                                 " status ttl-expired rtt 2 hold times 1\n"
                                 "echo * 32 reply dest rtt 9 hold\n"));
    Start(LAB_DEST_NAME);
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1) << "the probe of hop 2 never went out";
    driver.Then([](HWND dialog) { SetDlgItemTextA(dialog, IDC_SETUP_PING_TIMEOUT, "2500"); });
    driver.Then(Press(IDOK));
    SendMessageA(MainWindow, WM_COMMAND, IDM_SETUP, 0); // while hop 2's probe is out
    ASSERT_EQ(Settings.PingTimeout, 2500);
    FakeIcmpReleaseHeld();
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1) << "the ping cycle never began";
    std::vector<std::pair<int, DWORD>> sent; // TTL, timeout
    for (const FakeIcmpCall& echo : Echoes())
        sent.push_back({echo.ttl, echo.timeout});
    EXPECT_EQ(sent, (std::vector<std::pair<int, DWORD>>{{1, 1000},
                                                        {2, 1000},
                                                        {3, 2500},
                                                        {4, 2500},
                                                        {5, 2500},
                                                        {6, 2500},
                                                        {7, 2500},
                                                        {32, 2500}}));
}

} // namespace
