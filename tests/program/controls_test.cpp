// The controls of the main window: the host name box and its keys, the layout on resize,
// and the column toggles of the View menu.
#include "app/app.h"
#include "app/resource.h"
#include "harness/list_view.h"
#include "harness/program.h"
#include "hoptable/hop_table.h"
#include "lab_topology.h"
#include "trace/trace.h"
#include <commctrl.h>

namespace {

class Controls : public ProgramTest {
  protected:
    void AddEntries(std::initializer_list<const char*> entries) {
        for (const char* e : entries)
            SendMessageA(HostBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e));
    }
    int EntryCount() { return static_cast<int>(SendMessageA(HostBox, CB_GETCOUNT, 0, 0)); }
    std::string EditText() {
        char text[256] = "";
        GetWindowTextA(HostBoxEdit, text, sizeof text);
        return text;
    }
    void PressKey(WPARAM key) { SendMessageA(HostBoxEdit, WM_KEYDOWN, key, 0); }
    void DropListAt(int entry) {
        SendMessageA(HostBox, CB_SHOWDROPDOWN, TRUE, 0);
        SendMessageA(HostBox, CB_SETCURSEL, entry, 0);
    }
};

TEST_F(Controls, HostBoxIsASortedDropDownOnTheToolbar) {
    EXPECT_EQ(GetParent(HostBox), ToolbarWindow);
    EXPECT_EQ(GetDlgCtrlID(HostBox), IDC_HOST_BOX);
    LONG style = GetWindowLongA(HostBox, GWL_STYLE);
    EXPECT_EQ(style & 3, CBS_DROPDOWN);
    EXPECT_TRUE(style & CBS_SORT);
    EXPECT_TRUE(style & CBS_AUTOHSCROLL);
    EXPECT_EQ(GetParent(HostBoxEdit), HostBox);
    RECT r;
    GetWindowRect(HostBox, &r);
    EXPECT_EQ(r.right - r.left, 300);
}

// The box takes no more than Start reads into the 128-byte destination text, so that no typed
// character is dropped unseen.
TEST_F(Controls, HostTextIsLimitedToWhatStartReads) {
    std::string longText(300, 'x');
    SendMessageA(HostBoxEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    for (char c : longText)
        SendMessageA(HostBoxEdit, WM_CHAR, c, 0);
    EXPECT_EQ(EditText().size(), 127u);
    StartTrace();
    EXPECT_EQ(DestinationText, EditText());
    StopTrace();
}

TEST_F(Controls, DeleteWithTheListClosedEditsTheText) {
    AddEntries({"dest.routelark.test"});
    SetWindowTextA(HostBoxEdit, "abc");
    SendMessageA(HostBoxEdit, EM_SETSEL, 0, 0);
    PressKey(VK_DELETE);
    EXPECT_EQ(EditText(), "bc");
    EXPECT_EQ(EntryCount(), 1);
    EXPECT_EQ(messageBoxes.Count(), 0u);
}

TEST_F(Controls, DeleteOnADroppedEntryAsksAndNoKeepsIt) {
    AddEntries({"a.routelark.test", "b.routelark.test"});
    DropListAt(1);
    ASSERT_TRUE(SendMessageA(HostBox, CB_GETDROPPEDSTATE, 0, 0));
    std::string before = EditText();
    messageBoxes.QueueAnswer(IDNO);
    PressKey(VK_DELETE);
    ASSERT_EQ(messageBoxes.Count(), 1u);
    const CaughtMessageBox& box = messageBoxes.Boxes()[0];
    EXPECT_EQ(box.text, "Remove b.routelark.test?");
    EXPECT_EQ(box.caption, "Routelark");
    EXPECT_EQ(box.style, static_cast<UINT>(MB_TOPMOST | MB_ICONEXCLAMATION | MB_YESNO));
    EXPECT_EQ(box.owner, MainWindow);
    EXPECT_EQ(EntryCount(), 2);
    EXPECT_EQ(EditText(), before) << "the key did not reach the edit control";
}

TEST_F(Controls, DeleteOnADroppedEntryAnsweredYesRemovesIt) {
    AddEntries({"a.routelark.test", "b.routelark.test"});
    DropListAt(0);
    messageBoxes.QueueAnswer(IDYES);
    PressKey(VK_DELETE);
    ASSERT_EQ(EntryCount(), 1);
    char left[64] = "";
    SendMessageA(HostBox, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(left));
    EXPECT_STREQ(left, "b.routelark.test");
}

TEST_F(Controls, ReturnStartsATraceAndEmptyTextStartsNothing) {
    SetWindowTextA(HostBoxEdit, "");
    PressKey(VK_RETURN);
    EXPECT_EQ(CurrentTraceState, TraceState::Stopped);
    EXPECT_TRUE(SendMessageA(ToolbarWindow, TB_ISBUTTONHIDDEN, IDM_STOP, 0));

    SetWindowTextA(HostBoxEdit, LAB_DEST_NAME);
    PressKey(VK_RETURN);
    EXPECT_EQ(CurrentTraceState, TraceState::Resolving);
    EXPECT_TRUE(GetWindowLongA(HostBoxEdit, GWL_STYLE) & ES_READONLY);
    StopTrace();
}

TEST_F(Controls, ReadOnlyHostBoxDoesNotInterceptKeys) {
    AddEntries({"a.routelark.test"});
    SendMessageA(HostBoxEdit, EM_SETREADONLY, 1, 0);
    DropListAt(0);
    PressKey(VK_DELETE);
    PressKey(VK_RETURN);
    EXPECT_EQ(messageBoxes.Count(), 0u);
    EXPECT_EQ(EntryCount(), 1);
    EXPECT_EQ(CurrentTraceState, TraceState::Stopped);
}

TEST_F(Controls, HostListCommandDropsTheListDown) {
    AddEntries({"a.routelark.test"});
    SendMessageA(MainWindow, WM_COMMAND, IDM_HOSTLIST, 0);
    EXPECT_TRUE(SendMessageA(HostBox, CB_GETDROPPEDSTATE, 0, 0));
}

RECT ChildRect(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST_F(Controls, ResizeStacksToolbarTableAndStatusBar) {
    SetWindowPos(MainWindow, nullptr, 0, 0, 648, 346, SWP_NOMOVE | SWP_NOZORDER);
    RECT client;
    GetClientRect(MainWindow, &client);
    RECT toolbar = ChildRect(ToolbarWindow);
    RECT table = ChildRect(HopTable);
    RECT status = ChildRect(StatusBar);
    RECT banner = ChildRect(BannerButton);
    RECT toolbarClient;
    GetClientRect(ToolbarWindow, &toolbarClient);
    EXPECT_EQ(table.top, toolbar.bottom - toolbar.top);
    EXPECT_EQ(table.left, 0);
    EXPECT_EQ(table.right, client.right);
    EXPECT_EQ(table.bottom, status.top);
    EXPECT_EQ(status.bottom, client.bottom);
    EXPECT_EQ(status.right - status.left, client.right);
    EXPECT_EQ(banner.left, toolbarClient.right - 162);
    EXPECT_EQ(banner.top, 2);
    EXPECT_EQ(banner.right - banner.left, 160);
    EXPECT_EQ(banner.bottom - banner.top, 30);
}

TEST_F(Controls, ResizeBeforeAllFourControlsExistMovesNothing) {
    RECT before = ChildRect(HopTable);
    HWND banner = BannerButton;
    BannerButton = nullptr;
    SendMessageA(MainWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(500, 200));
    BannerButton = banner;
    RECT after = ChildRect(HopTable);
    EXPECT_EQ(after.bottom, before.bottom);
    EXPECT_EQ(after.right, before.right);
}

TEST_F(Controls, HostNameColumnToggleRestoresItsPlaceWidthAndCheckMark) {
    HMENU menu = GetMenu(MainWindow);
    UINT hostName = IDM_COLUMN_FIRST + kColumnHostName;
    SendMessageA(HopTable, LVM_SETCOLUMNWIDTH, 2, 300);
    SendMessageA(MainWindow, WM_COMMAND, hostName, 0);
    EXPECT_FALSE(GetMenuState(menu, hostName, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(ListViewColumnCount(HopTable), 9);
    EXPECT_EQ(ListViewColumnTitle(HopTable, 2), "Sent");
    SendMessageA(MainWindow, WM_COMMAND, hostName, 0);
    EXPECT_TRUE(GetMenuState(menu, hostName, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(ListViewColumnCount(HopTable), 10);
    EXPECT_EQ(ListViewColumnTitle(HopTable, 2), "Host Name");
    EXPECT_EQ(ListViewColumnWidth(HopTable, 2), 300);
}

} // namespace
