// The hop table: its columns, the cells of each hop and the showing and hiding of columns.
#include "trace_fixture.h"
#include <unknwn.h>

namespace {

class HopTableTest : public TraceTest {
  protected:
    void Toggle(int column) { SendMessageA(MainWindow, WM_COMMAND, IDM_COLUMN_FIRST + column, 0); }
    bool Checked(int column) {
        return GetMenuState(GetMenu(MainWindow), IDM_COLUMN_FIRST + column, MF_BYCOMMAND) &
               MF_CHECKED;
    }
};

// The list view destroys an image list it does not share when it is destroyed itself, so the
// program's own destruction at shutdown must find it detached. Wine's image lists count their
// references: two more taken here tell how many destructions there were.
TEST_F(HopTableTest, ImageListIsDestroyedOnceAtShutdown) {
    auto* images =
        reinterpret_cast<IUnknown*>(SendMessageA(HopTable, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    ASSERT_NE(images, nullptr);
    images->AddRef();
    images->AddRef();
    ASSERT_TRUE(ShutDown());
    ULONG left = images->Release();
    EXPECT_EQ(left, 1u) << "the image list was destroyed twice";
    if (left)
        images->Release();
}

TEST_F(HopTableTest, IsANavyReportListWithTenColumns) {
    EXPECT_EQ(SendMessageA(HopTable, LVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(RGB(0, 0, 128)));
    EXPECT_EQ(SendMessageA(HopTable, LVM_GETTEXTBKCOLOR, 0, 0),
              static_cast<LRESULT>(RGB(0, 0, 128)));
    EXPECT_EQ(SendMessageA(HopTable, LVM_GETTEXTCOLOR, 0, 0),
              static_cast<LRESULT>(RGB(255, 255, 255)));
    LONG style = GetWindowLongA(HopTable, GWL_STYLE);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(style & LVS_SINGLESEL);
    EXPECT_TRUE(style & LVS_NOSORTHEADER);
    const char* const titles[] = {"Hop", "IP Address", "Host Name", "Sent",    "Recv",
                                  "RTT", "Av RTT",     "Min RTT",   "Max RTT", "% Loss"};
    const int widths[] = {44, 110, 240, 50, 50, 60, 70, 70, 70, 60};
    ASSERT_EQ(ListViewColumnCount(HopTable), 10);
    for (int n = 0; n < 10; n++) {
        EXPECT_EQ(ListViewColumnTitle(HopTable, n), titles[n]);
        EXPECT_EQ(ListViewColumnWidth(HopTable, n), widths[n]) << titles[n];
    }
    HIMAGELIST images =
        reinterpret_cast<HIMAGELIST>(SendMessageA(HopTable, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(images), 2);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images, &cx, &cy);
    EXPECT_EQ(cx, 12);
    EXPECT_EQ(cy, 12);
}

TEST_F(HopTableTest, HiddenColumnsShiftTheCellsOfARefresh) {
    Toggle(kColumnSent);
    Toggle(kColumnReceived);
    DiscoverLabRoute();
    EXPECT_EQ(ListViewColumnCount(HopTable), 8);
    EXPECT_EQ(ListViewCell(HopTable, 0, 3), "1ms") << "RTT sits after Hop, IP Address, Host Name";
    EXPECT_EQ(Row(0), "1|198.18.1.1|r1.routelark.test|1ms|1ms|1ms|1ms|0%");
    FakeIcmpReleaseHeld(); // r1 answers in 9 ms; the echo to r2 is held next
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1);
    EXPECT_EQ(Row(0), "1|198.18.1.1|r1.routelark.test|9ms|5ms|1ms|9ms|0%");
}

TEST_F(HopTableTest, CycleRefreshLeavesTheFirstThreeCellsAlone) {
    DiscoverLabRoute();
    SetCellText(0, 2, "edited");
    FakeIcmpReleaseHeld(); // r1 answers in 9 ms; the echo to r2 is held next
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1);
    EXPECT_EQ(ListViewCell(HopTable, 0, 5), "9ms");
    EXPECT_EQ(ListViewCell(HopTable, 0, 2), "edited");
}

TEST_F(HopTableTest, ShownColumnIsFilledForEveryRowAtOnce) {
    Toggle(kColumnMaxRtt);
    EXPECT_FALSE(Checked(kColumnMaxRtt));
    DiscoverLabRoute();
    Toggle(kColumnMaxRtt);
    EXPECT_TRUE(Checked(kColumnMaxRtt));
    for (int r = 0; r < 7; r++)
        EXPECT_EQ(ListViewCell(HopTable, r, 8), std::to_string(r + 1) + "ms") << "row " << r;
}

TEST_F(HopTableTest, HiddenColumnKeepsItsWidthForWhenItComesBack) {
    SendMessageA(HopTable, LVM_SETCOLUMNWIDTH, kColumnAverageRtt, 123);
    Toggle(kColumnAverageRtt);
    EXPECT_EQ(Columns[kColumnAverageRtt].Visible, 0);
    EXPECT_EQ(Columns[kColumnAverageRtt].ListWidth, 123);
    EXPECT_EQ(ListViewColumnTitle(HopTable, 6), "Min RTT");
    Toggle(kColumnAverageRtt);
    EXPECT_EQ(ListViewColumnTitle(HopTable, 6), "Av RTT");
    EXPECT_EQ(ListViewColumnWidth(HopTable, 6), 123);
}

TEST_F(HopTableTest, ColumnOperationsOutsideTheTableOnlyRefresh) {
    ShowColumn(kColumnTotal);
    HideColumn(-1);
    EXPECT_EQ(ListViewColumnCount(HopTable), 10);
}

TEST_F(HopTableTest, HopAndAddressColumnsCanBeHiddenThroughTheOperations) {
    DiscoverLabRoute();
    HideColumn(kColumnHop);
    EXPECT_EQ(ListViewColumnTitle(HopTable, 0), "IP Address");
    EXPECT_EQ(ListViewCell(HopTable, 0, 0), "198.18.1.1");
    ShowColumn(kColumnHop);
    EXPECT_EQ(ListViewCell(HopTable, 0, 0), "1");
}

TEST_F(HopTableTest, CellTextsOfAPlaceholderAndAnUnknownColumn) {
    Settings.Retries = 1;
    UseScenario(LabRouteScenario("echo * 4 timeout\necho * 32 timeout hold\n"));
    Start(LAB_DEST_NAME);
    ASSERT_TRUE(WaitForState(TraceState::Pinging));
    EXPECT_STREQ(GetCellText(3, kColumnHop), "4");
    EXPECT_STREQ(GetCellText(3, kColumnAddress), "---");
    EXPECT_STREQ(GetCellText(3, kColumnHostName), "[No response]");
    for (int n = kColumnSent; n <= kColumnLoss; n++)
        EXPECT_STREQ(GetCellText(3, n), "---") << "column " << n;
    EXPECT_STREQ(GetCellText(0, kColumnTotal), "Dunno");
    EXPECT_STREQ(GetCellText(0, -1), "Dunno");
    Settings.IgnoreFirst = 1;
    EXPECT_STREQ(GetCellText(0, kColumnHop), "2") << "the Hop cell counts the skipped hop";
}

TEST_F(HopTableTest, LossCellsFollowTheRule) {
    DiscoverLabRoute();
    CPinger* p = HopList[0];
    struct {
        int sent, received;
        const char* loss;
    } const cases[] = {{12, 11, "9%"}, {3, 1, "67%"}, {3, 2, "34%"},  {4, 4, "0%"},
                       {4, 1, "75%"},  {7, 3, "58%"}, {5, 0, "100%"}, {0, 0, "0%"}};
    for (const auto& c : cases) {
        p->SetSentCount(c.sent);
        p->SetReceivedCount(c.received);
        EXPECT_STREQ(GetCellText(0, kColumnLoss), c.loss)
            << c.sent << " sent, " << c.received << " received";
    }
}

TEST_F(HopTableTest, LongHostTextIsShownWhole) {
    DiscoverLabRoute();
    std::string name(1023, 'n');
    HopList[0]->SetHostText((name + "overflow").c_str());
    RefreshHopRow(HopList[0], 0, 0, ColumnCount);
    EXPECT_EQ(ListViewCell(HopTable, 0, 2).size(), 1023u);
}

TEST_F(HopTableTest, RowsOfTheLastTraceStayUntilTheNextDestinationIsAccepted) {
    DiscoverLabRoute();
    StopTrace();
    FakeIcmpReleaseHeld();
    UseScenario(LabRouteScenario());
    Start(LAB_SLOW_NAME);
    EXPECT_EQ(HopCount, 0);
    EXPECT_EQ(Rows(), 7) << "the rows stay while the destination is looked up";
    ASSERT_TRUE(PumpUntil([&] { return CurrentTraceState != TraceState::Resolving; }, 10000));
    EXPECT_LE(Rows(), 1);
}

} // namespace
