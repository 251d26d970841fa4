// The Preferences dialog and what its AS setting brings: its own INI section, written only by
// its OK; the AS column hidden until the View menu shows it, with no key in the INI file until
// then; and Copy AS in the hop menu exactly while the setting is on.
#include "asn/asn.h"
#include "harness/dialog_driver.h"
#include "harness/popup_recorder.h"
#include "settings/dialogs.h"
#include "session/session.h"
#include "settings/preferences.h"
#include "trace_fixture.h"

namespace {

DialogDriver::Step Press(int id) {
    return [id](HWND dialog) { DialogDriver::Click(dialog, id); };
}

#define kOriginZone "origin.menu.routelark.test"
#define kNameZone "menu.routelark.test"

class PreferencesTest : public TraceTest {
  protected:
    void PrepareFolder() override {
        // Zones the lab's name server holds for this test alone (asn_records.tsv): the
        // lookups that the setting starts stay in the lab and out of the lab test's count.
        WriteWholeFile(folder->File("routelark.ini"),
                       "[Preferences]\r\nAsOriginZone=" kOriginZone "\r\nAsNameZone=" kNameZone
                       "\r\n");
    }
    std::string Ini() { return ReadWholeFile(folder->File("routelark.ini")); }
    void Command(int id) { SendMessageA(MainWindow, WM_COMMAND, id, 0); }
    bool Checked(int id) {
        return GetMenuState(GetMenu(MainWindow), id, MF_BYCOMMAND) & MF_CHECKED;
    }
    // The check box as the dialog shows it, then a click on it and on button.
    void ClickLookUpAndPress(int button, int* shown) {
        driver.Then([shown](HWND dialog) {
            *shown = static_cast<int>(
                SendDlgItemMessageA(dialog, IDC_PREFERENCES_LOOKUP_AS, BM_GETCHECK, 0, 0));
            DialogDriver::Click(dialog, IDC_PREFERENCES_LOOKUP_AS);
        });
        driver.Then(Press(button));
        Command(IDM_PREFERENCES);
        EXPECT_EQ(driver.Abandoned(), 0);
    }
    const RecordedPopup* RightClickRow(int row) {
        popups.Clear();
        RECT r = {};
        r.left = LVIR_BOUNDS;
        SendMessageA(HopTable, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        SendMessageA(HopTable, WM_RBUTTONUP, 0, MAKELPARAM(r.left + 20, (r.top + r.bottom) / 2));
        return popups.Popups().empty() ? nullptr : &popups.Popups().back();
    }
    DialogDriver driver;
    PopupRecorder popups;
};

TEST_F(PreferencesTest, LookUpIsOffUntilOkStoresItInItsOwnSection) {
    const std::string before = Ini();
    EXPECT_EQ(Preferences.LookupAs, 0);
    int shown = -1;
    ClickLookUpAndPress(IDCANCEL, &shown);
    EXPECT_EQ(shown, BST_UNCHECKED);
    EXPECT_EQ(Preferences.LookupAs, 0);
    EXPECT_EQ(Ini(), before) << "Cancel writes nothing";
    ClickLookUpAndPress(IDOK, &shown);
    EXPECT_EQ(shown, BST_UNCHECKED);
    EXPECT_EQ(Preferences.LookupAs, 1);
    EXPECT_NE(Ini().find("[Preferences]\r\nAsOriginZone=" kOriginZone "\r\nAsNameZone=" kNameZone
                         "\r\nLookupAs=1\r\n"),
              std::string::npos)
        << Ini();
    Restart();
    EXPECT_EQ(Preferences.LookupAs, 1);
    ClickLookUpAndPress(IDOK, &shown);
    EXPECT_EQ(shown, BST_CHECKED);
    EXPECT_EQ(Preferences.LookupAs, 0);
}

TEST_F(PreferencesTest, AutosaveIntervalIsTheDialogsNumberAndOutOfRangeKeepsTheDefault) {
    EXPECT_EQ(AutosaveMinutes(), 10);
    const struct {
        const char* typed;
        int minutes;
    } cases[] = {{"5", 5}, {"0", 0}, {"1441", 10}}; // 0 is off; past a day the default stands
    for (const auto& c : cases) {
        int shown = -1;
        driver.Then([&](HWND dialog) {
            shown = static_cast<int>(GetDlgItemInt(dialog, IDC_PREFERENCES_AUTOSAVE, nullptr, TRUE));
            SetDlgItemTextA(dialog, IDC_PREFERENCES_AUTOSAVE, c.typed);
        });
        driver.Then(Press(IDOK));
        Command(IDM_PREFERENCES);
        EXPECT_EQ(driver.Abandoned(), 0);
        EXPECT_EQ(Preferences.AutosaveMinutes, c.minutes) << c.typed;
        EXPECT_EQ(AutosaveMinutes(), c.minutes) << c.typed << ": what the next trace uses";
        EXPECT_NE(shown, -1);
    }
}

TEST_F(PreferencesTest, AsColumnComesFromTheViewMenuAndOnlyThenIntoTheIniFile) {
    EXPECT_EQ(ListViewColumnCount(HopTable), 10);
    EXPECT_FALSE(Checked(IDM_COLUMN_AS));
    ShutDown();
    EXPECT_EQ(Ini().find("Column10"), std::string::npos) << "hidden at its default: no key";
    EXPECT_NE(Ini().find("Column9=60\r\n"), std::string::npos);
    StartTheProgram();
    Command(IDM_COLUMN_AS);
    ASSERT_EQ(ListViewColumnCount(HopTable), 11);
    EXPECT_EQ(ListViewColumnTitle(HopTable, 10), "AS");
    EXPECT_EQ(ListViewColumnWidth(HopTable, 10), 160);
    EXPECT_TRUE(Checked(IDM_COLUMN_AS));
    EXPECT_TRUE(Checked(IDM_COLUMN_FIRST + kColumnLoss)) << "the other columns keep their items";
    Restart();
    EXPECT_NE(Ini().find("Column10=160\r\n"), std::string::npos);
    ASSERT_EQ(ListViewColumnCount(HopTable), 11);
    EXPECT_TRUE(Checked(IDM_COLUMN_AS));
    Command(IDM_COLUMN_AS);
    EXPECT_EQ(ListViewColumnCount(HopTable), 10);
    Restart();
    EXPECT_NE(Ini().find("Column10=-160\r\n"), std::string::npos) << "once written, kept";
    EXPECT_EQ(ListViewColumnCount(HopTable), 10);
}

TEST_F(PreferencesTest, CopyAsIsInTheHopMenuWhileTheSettingIsOn) {
    DiscoverLabRoute();
    const RecordedPopup* popup = RightClickRow(0);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->texts.size(), 3u) << "the setting off: the menu as it always was";
    Preferences.LookupAs = 1;
    RequestAllHopsAs();
    // r1's answer comes from the lab's name server: the item turns from gray to enabled.
    ASSERT_TRUE(PumpUntil([] { return std::string(AsCellText(HopList[0]->GetDestination())) ==
                                      "AS64512 LAB-EDGE"; }));
    popup = RightClickRow(0);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(popup->texts.size(), 4u);
    EXPECT_EQ(popup->texts[3], "Copy &AS");
    EXPECT_FALSE(popup->states[3] & MFS_GRAYED);
    char answer[512];
    ASSERT_TRUE(FormatHopAs(HopList[0]->GetDestination(), answer, sizeof answer));
    EXPECT_STREQ(answer, "AS64512 | 198.18.0.0/15 | ZZ | lab | 2026-12-09 | LAB-EDGE, ZZ");
    popup = RightClickRow(4); // r5's answer is malformed: nothing to copy
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->states[3] & MFS_GRAYED);
    Preferences.LookupAs = 0;
    popup = RightClickRow(0);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->texts.size(), 3u);
}

} // namespace
