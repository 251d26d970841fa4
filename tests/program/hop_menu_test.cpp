// The hop context menu: which right clicks open it, its item texts and states, ignoring and
// enabling a hop, and WhoIs for a hop's domain.
#include "harness/popup_recorder.h"
#include "trace_fixture.h"
#include "whois/whois.h"

namespace {

class HopMenu : public TraceTest {
  protected:
    void PrepareFolder() override {
        // The server box's remembered server fails at once: each query shows one box.
        WriteWholeFile(folder->File("routelark.ini"), "[WhoIs]\r\nSelected=1\r\n1=9x.test\r\n");
    }
    void TearDown() override {
        if (WhoisDialog)
            DestroyWindow(WhoisDialog);
        TraceTest::TearDown();
    }
    RECT RowRect(int row) {
        RECT r = {};
        r.left = LVIR_BOUNDS;
        SendMessageA(HopTable, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    void RightClickAt(int x, int y) { SendMessageA(HopTable, WM_RBUTTONUP, 0, MAKELPARAM(x, y)); }
    // Right-clicks a row; returns the popup it opened, or nullptr.
    const RecordedPopup* RightClickRow(int row) {
        popups.Clear();
        RECT r = RowRect(row);
        RightClickAt(r.left + 20, (r.top + r.bottom) / 2);
        return popups.Popups().empty() ? nullptr : &popups.Popups().back();
    }
    void Choose(int command) { SendMessageA(MainWindow, WM_COMMAND, command, 0); }
    PopupRecorder popups;
};

TEST_F(HopMenu, OpensOnlyOverAFullyVisibleRowOfAnAnsweringHop) {
    Settings.Retries = 1;
    UseScenario(LabRouteScenario("echo * 4 timeout\necho * 32 reply dest rtt 9 hold\n"));
    Start(LAB_DEST_NAME);
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1);
    ASSERT_NE(RightClickRow(0), nullptr);
    EXPECT_EQ(popups.Popups()[0].owner, MainWindow);
    EXPECT_EQ(RightClickRow(3), nullptr) << "the placeholder of the silent hop";
    EXPECT_EQ(PopupRow, 3);
    RECT last = RowRect(6);
    RightClickAt(last.left + 20, last.bottom + 30);
    EXPECT_TRUE(popups.Popups().empty()) << "below the last row";
    // Shrink the table until the last row is only partly visible (scroll bars stay outside
    // the client area).
    RECT client, window;
    GetClientRect(HopTable, &client);
    GetWindowRect(HopTable, &window);
    int frame = (window.bottom - window.top) - client.bottom;
    SetWindowPos(HopTable, nullptr, 0, 0, window.right - window.left,
                 last.top + (last.bottom - last.top) / 2 + frame, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(RightClickRow(6), nullptr) << "the partly visible bottom row";
    EXPECT_NE(RightClickRow(5), nullptr);
}

TEST_F(HopMenu, ARealClickOpensItOnceThoughTheListViewTakesTheButtonRelease) {
    DiscoverLabRoute();
    RECT r = RowRect(2);
    LPARAM point = MAKELPARAM(r.left + 20, (r.top + r.bottom) / 2);
    PostMessageA(HopTable, WM_RBUTTONUP, 0, point); // found by the list view's own loop
    SendMessageA(HopTable, WM_RBUTTONDOWN, MK_RBUTTON, point);
    PumpFor(100);
    ASSERT_EQ(popups.Popups().size(), 1u);
    EXPECT_EQ(popups.Popups()[0].texts[0], "&Ignore hop 3");
}

TEST_F(HopMenu, ItemsNameTheRowAndTheReducedDomain) {
    DiscoverLabRoute();
    HopList[1]->SetHostText("[Unknown]");
    const RecordedPopup* popup = RightClickRow(5);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->texts, (std::vector<std::string>{"&Ignore hop 6", "", "&WhoIs " LAB_DOMAIN}));
    EXPECT_EQ(popup->states[0], 0u);
    EXPECT_EQ(popup->states[2], 0u);
    popup = RightClickRow(1);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->texts[2], "&WhoIs [Unknown]");
    EXPECT_TRUE(popup->states[2] & MFS_GRAYED);
    Settings.IgnoreFirst = 1; // the Hop cell reads 4, the item counts rows
    popup = RightClickRow(2);
    ASSERT_NE(popup, nullptr);
    EXPECT_STREQ(GetCellText(2, kColumnHop), "4");
    EXPECT_EQ(popup->texts[0], "&Ignore hop 3");
}

TEST_F(HopMenu, IgnoredHopIsSkippedUntilEnabledAgain) {
    UseScenario(LabRouteScenario("echo * 32 reply dest rtt 9 hold\n"));
    Start(LAB_DEST_NAME);
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1); // the cycle's echo to r1
    ASSERT_NE(RightClickRow(1), nullptr);
    Choose(IDM_HOP_TOGGLE);
    EXPECT_EQ(ListViewRowImage(HopTable, 1), kImageIgnored);
    EXPECT_EQ(RightClickRow(1)->texts[0], "&Enable hop 2");
    const ULONG r2 = inet_addr(LAB_R2_ADDR);
    auto echoesToR2 = [&] {
        size_t n = 0;
        for (const FakeIcmpCall& c : CycleEchoes())
            n += c.destination == r2;
        return n;
    };
    for (int i = 0; i < 10; i++) { // r1 ... dest, r1, r2 skipped, r3 ...
        FakeIcmpReleaseHeld();
        ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1);
    }
    EXPECT_EQ(echoesToR2(), 0u);
    EXPECT_EQ(ListViewCell(HopTable, 1, kColumnSent), "1") << "its Sent stands still";
    Choose(IDM_HOP_TOGGLE); // PopupRow is still row 1
    EXPECT_EQ(ListViewRowImage(HopTable, 1), kImageActive);
    for (int i = 0; i < 7 && echoesToR2() == 0; i++) {
        FakeIcmpReleaseHeld();
        ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1);
    }
    EXPECT_EQ(echoesToR2(), 1u) << "pinged again from its next turn";
}

TEST_F(HopMenu, ToggleWithoutItsHopDoesNothing) {
    DiscoverLabRoute();
    ASSERT_NE(RightClickRow(2), nullptr);
    StopTrace();
    FakeIcmpReleaseHeld();
    ClearHops(); // as the next Start does
    Choose(IDM_HOP_TOGGLE);
    EXPECT_EQ(ListViewRowImage(HopTable, 2), kImageActive);
}

TEST_F(HopMenu, WhoisItemOpensTheDialogForTheDomainAndAsksOnce) {
    DiscoverLabRoute();
    ASSERT_NE(RightClickRow(0), nullptr);
    messageBoxes.Clear();
    Choose(IDM_HOP_WHOIS);
    ASSERT_NE(WhoisDialog, nullptr);
    PumpFor(200);
    char domain[128] = "";
    GetDlgItemTextA(WhoisDialog, IDC_WHOIS_DOMAIN, domain, sizeof domain);
    EXPECT_STREQ(domain, LAB_DOMAIN);
    EXPECT_EQ(messageBoxes.Count(), 1u) << "the query started once";
    EXPECT_EQ(WhoisAutoStart, 0);
    // With the dialog open, the item changes nothing in it: every lab hop reduces to the same
    // domain, so the box gets a text of the user's that no hop would give.
    HWND dialog = WhoisDialog;
    SetDlgItemTextA(WhoisDialog, IDC_WHOIS_DOMAIN, "typed.test");
    ASSERT_NE(RightClickRow(5), nullptr);
    Choose(IDM_HOP_WHOIS);
    PumpFor(200);
    EXPECT_EQ(WhoisDialog, dialog);
    GetDlgItemTextA(WhoisDialog, IDC_WHOIS_DOMAIN, domain, sizeof domain);
    EXPECT_STREQ(domain, "typed.test");
    EXPECT_EQ(messageBoxes.Count(), 1u);
}

// The menu's WhoIs item asks at once; a menu dismissed without a choice asks nothing later.
TEST_F(HopMenu, DismissedMenuLeavesTheNextWhoisDialogWaitingForItsButton) {
    DiscoverLabRoute();
    ASSERT_NE(RightClickRow(0), nullptr); // and dismissed
    messageBoxes.Clear();
    Choose(IDM_WHOIS);
    ASSERT_NE(WhoisDialog, nullptr);
    PumpFor(200);
    EXPECT_EQ(messageBoxes.Count(), 0u) << "a query to a server the user has not confirmed";
}

} // namespace
