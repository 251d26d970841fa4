// The main window at another DPI than 96: every size scaled from its 96-DPI value, when the
// program starts on a screen of 192 DPI (AtDpi192, run in a Wine prefix of that DPI by
// tests/program/at_dpi.sh) and when Windows moves it to one of 144 DPI (WM_DPICHANGED); the
// INI file keeps its widths in 96-DPI units throughout.
#include "app/app.h"
#include "app/resource.h"
#include "dpi/window_dpi.h"
#include "graph/graph.h"
#include "harness/import_patch.h"
#include "harness/list_view.h"
#include "harness/program.h"
#include "hoptable/hop_table.h"
#include <commctrl.h>
#include <cstdlib>
#include <initializer_list>
#include <vector>

namespace {

const std::vector<int> kWidthsAt96 = {44, 110, 240, 50, 50, 60, 70, 70, 70, 60};

int Height(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return r.bottom - r.top;
}

int Width(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return r.right - r.left;
}

// What the user sees scale: every size the shell gives in pixels.
struct Layout {
    std::vector<int> columns;
    int buttonWidth, buttonHeight, toolbarHeight;
    int hostWidth, bannerWidth, bannerHeight, rowImage;
    int statusEdges[3];
};

Layout Measure() {
    Layout l;
    for (int v = 0; v < ListViewColumnCount(HopTable); v++)
        l.columns.push_back(ListViewColumnWidth(HopTable, v));
    DWORD button = static_cast<DWORD>(SendMessageA(ToolbarWindow, TB_GETBUTTONSIZE, 0, 0));
    l.buttonWidth = LOWORD(button), l.buttonHeight = HIWORD(button);
    l.toolbarHeight = Height(ToolbarWindow);
    l.hostWidth = Width(HostBox);
    l.bannerWidth = Width(BannerButton), l.bannerHeight = Height(BannerButton);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(
        reinterpret_cast<HIMAGELIST>(SendMessageA(HopTable, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), &cx,
        &cy);
    l.rowImage = cx;
    SendMessageA(StatusBar, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(l.statusEdges));
    return l;
}

std::vector<int> Scaled(const std::vector<int>& widths, int percent) {
    std::vector<int> scaled;
    for (int w : widths)
        scaled.push_back((w * percent + 50) / 100);
    return scaled;
}

// `big` is `small` times percent / 100, give or take a pixel of rounding; the toolbar's own
// margins around its buttons are the common controls' and stay as they are.
void ExpectScaled(const Layout& big, const Layout& small, int percent) {
    auto inProportion = [percent](int a, int b) { return std::abs(a * 100 - b * percent) <= 100; };
    EXPECT_EQ(big.columns, Scaled(small.columns, percent));
    EXPECT_PRED2(inProportion, big.buttonWidth, small.buttonWidth);
    EXPECT_PRED2(inProportion, big.buttonHeight, small.buttonHeight);
    EXPECT_EQ(big.toolbarHeight - big.buttonHeight, small.toolbarHeight - small.buttonHeight);
    EXPECT_PRED2(inProportion, big.hostWidth, small.hostWidth);
    EXPECT_PRED2(inProportion, big.bannerWidth, small.bannerWidth);
    EXPECT_PRED2(inProportion, big.bannerHeight, small.bannerHeight);
    EXPECT_PRED2(inProportion, big.rowImage, small.rowImage);
    EXPECT_PRED2(inProportion, big.statusEdges[0], small.statusEdges[0]);
    EXPECT_PRED2(inProportion, big.statusEdges[1], small.statusEdges[1]);
}

void SendDpiChanged(int dpi, RECT suggested) {
    SendMessageA(MainWindow, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
}

class DpiChange : public ProgramTest {
  protected:
    std::string Ini() { return ReadWholeFile(folder->File("routelark.ini")); }
    std::string Columns() {
        std::string ini = Ini();
        size_t at = ini.find("[Columns]");
        return at == std::string::npos ? "" : ini.substr(at, ini.find('[', at + 1) - at);
    }
};

const char kColumnsAt96[] =
    "[Columns]\r\nColumn0=44\r\nColumn1=110\r\nColumn2=240\r\nColumn3=50\r\nColumn4=50\r\n"
    "Column5=60\r\nColumn6=70\r\nColumn7=70\r\nColumn8=70\r\nColumn9=60\r\n";

TEST_F(DpiChange, To144EverythingIsOneAndAHalfTimesItsSize) {
    ASSERT_EQ(MainWindowDpi, 96) << "the test prefix runs at 96 DPI";
    Layout before = Measure();
    ASSERT_EQ(before.columns, kWidthsAt96);
    SendDpiChanged(144, RECT{40, 30, 40 + 1050, 30 + 510});
    EXPECT_EQ(MainWindowDpi, 144);
    Layout after = Measure();
    ExpectScaled(after, before, 150);
    EXPECT_EQ(after.hostWidth, 450);
    EXPECT_EQ(after.bannerWidth, 240);
    EXPECT_EQ(after.rowImage, 18);
    // The controls' text grows with it: the message font, made for 144 DPI.
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    for (HWND control : {HostBox, StatusBar, HopTable}) {
        LOGFONTA font = {};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        EXPECT_NEAR(std::abs(font.lfHeight), std::abs(metrics.lfMessageFont.lfHeight) * 1.5, 1);
    }
    RECT r, client, banner;
    GetWindowRect(MainWindow, &r);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.right, 1090) << "the rectangle Windows suggests";
    EXPECT_EQ(r.bottom, 540);
    // Laid out again in that rectangle: the banner at the toolbar's right end, the table below.
    GetClientRect(ToolbarWindow, &client);
    GetWindowRect(BannerButton, &banner);
    MapWindowPoints(nullptr, ToolbarWindow, reinterpret_cast<POINT*>(&banner), 2);
    EXPECT_EQ(banner.right, client.right - 3);
    GetWindowRect(HopTable, &r);
    MapWindowPoints(nullptr, MainWindow, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.top, Height(ToolbarWindow));
    RECT status;
    GetWindowRect(StatusBar, &status);
    MapWindowPoints(nullptr, MainWindow, reinterpret_cast<POINT*>(&status), 2);
    EXPECT_EQ(r.bottom, status.top) << "the status bar in its height for the new font";
    GetClientRect(MainWindow, &client);
    EXPECT_EQ(status.bottom, client.bottom);
}

int ImageSize(HIMAGELIST images) {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images, &cx, &cy);
    return cx == cy ? cx : -1;
}

// At 125% no drawing fits: the 150% ones are shrunk to the size needed.
TEST_F(DpiChange, BetweenTheDrawingsTheNextLargerIsShrunk) {
    SendDpiChanged(120, RECT{0, 0, 875, 425});
    EXPECT_EQ(Measure().columns, Scaled(kWidthsAt96, 125));
    EXPECT_EQ(
        ImageSize(reinterpret_cast<HIMAGELIST>(SendMessageA(ToolbarWindow, TB_GETIMAGELIST, 0, 0))),
        30);
    EXPECT_EQ(Measure().rowImage, 15);
    BITMAP banner = {};
    GetObjectA(reinterpret_cast<HBITMAP>(SendMessageA(BannerButton, BM_GETIMAGE, IMAGE_BITMAP, 0)),
               sizeof banner, &banner);
    EXPECT_EQ(banner.bmWidth, 200);
    EXPECT_EQ(banner.bmHeight, 38);
}

// The toolbar is made again for the new DPI: what it holds and shows goes over to it.
TEST_F(DpiChange, TheToolbarKeepsItsControlsAndTheRunningState) {
    ShowTraceControls(1);
    SendDpiChanged(192, RECT{0, 0, 1400, 680});
    EXPECT_EQ(GetParent(HostBox), ToolbarWindow);
    EXPECT_EQ(GetParent(BannerButton), ToolbarWindow);
    EXPECT_EQ(GetDlgCtrlID(ToolbarWindow), IDC_TOOLBAR);
    EXPECT_TRUE(SendMessageA(ToolbarWindow, TB_ISBUTTONHIDDEN, IDM_START, 0));
    EXPECT_FALSE(SendMessageA(ToolbarWindow, TB_ISBUTTONHIDDEN, IDM_STOP, 0));
    EXPECT_EQ(FindWindowExA(MainWindow, nullptr, "ToolbarWindow32", nullptr), ToolbarWindow)
        << "the old toolbar is gone";
    ShowTraceControls(0);
    SendMessageA(HostBoxEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("typed"));
    char text[16] = "";
    GetWindowTextA(HostBox, text, sizeof text);
    EXPECT_STREQ(text, "typed");
}

// Widths in the file are at 96 DPI whatever the screen: a column dragged to 101 pixels at 144
// DPI is 67 there, and a hidden column's remembered width goes along.
TEST_F(DpiChange, TheIniFileKeeps96DpiWidths) {
    ToggleColumn(kColumnHostName); // hidden at 96 DPI, 240 remembered
    SendDpiChanged(144, RECT{0, 0, 1050, 510});
    EXPECT_EQ(::Columns[kColumnHostName].ListWidth, 360);
    SendMessageA(HopTable, LVM_SETCOLUMNWIDTH, 1, 101); // IP Address
    ShutDown();
    EXPECT_EQ(Columns(), "[Columns]\r\nColumn0=44\r\nColumn1=67\r\nColumn2=-240\r\nColumn3=50\r\n"
                         "Column4=50\r\nColumn5=60\r\nColumn6=70\r\nColumn7=70\r\nColumn8=70\r\n"
                         "Column9=60\r\n");
    StartTheProgram();
    EXPECT_EQ(ListViewColumnWidth(HopTable, 1), 67);
    ToggleColumn(kColumnHostName);
    EXPECT_EQ(ListViewColumnWidth(HopTable, 2), 240);
}

// The hop graph's own sizes follow its DPI: its least size, its text, the rectangle suggested.
TEST_F(DpiChange, TheHopGraphTakesTheNewDpiAndItsRectangle) {
    OpenHopGraph();
    ASSERT_NE(GraphWindow, nullptr);
    MINMAXINFO limits = {};
    SendMessageA(GraphWindow, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, 480);
    EXPECT_EQ(limits.ptMinTrackSize.y, 360);
    RECT suggested = {100, 80, 100 + 1080, 80 + 840};
    SendMessageA(GraphWindow, WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    SendMessageA(GraphWindow, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, 720);
    EXPECT_EQ(limits.ptMinTrackSize.y, 540);
    RECT r;
    GetWindowRect(GraphWindow, &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.right, 1180);
    EXPECT_EQ(r.bottom, 920);
    HDC dc = GetDC(GraphWindow);
    HGDIOBJ old = SelectObject(dc, CreateMessageFontForDpi(96));
    TEXTMETRICA at96, at144;
    GetTextMetricsA(dc, &at96);
    DeleteObject(SelectObject(dc, CreateMessageFontForDpi(144)));
    GetTextMetricsA(dc, &at144);
    DeleteObject(SelectObject(dc, old));
    ReleaseDC(GraphWindow, dc);
    EXPECT_NEAR(at144.tmHeight, at96.tmHeight * 1.5, 1) << "the font the graph now draws with";
}

void* RealGetProcAddress;

// Windows 8.1 to 10 version 1511: per-monitor DPI, but no GetDpiForWindow.
FARPROC WINAPI WithoutDpiForWindow(HMODULE module, LPCSTR name) {
    if (!IS_INTRESOURCE(name) && lstrcmpA(name, "GetDpiForWindow") == 0)
        return nullptr;
    return reinterpret_cast<decltype(&GetProcAddress)>(RealGetProcAddress)(module, name);
}

class DpiChangeWithoutDpiForWindow : public DpiChange {
  protected:
    void SetUp() override {
        RealGetProcAddress = PatchImport("kernel32.dll", "GetProcAddress",
                                         reinterpret_cast<void*>(WithoutDpiForWindow));
        ASSERT_NE(RealGetProcAddress, nullptr);
        DpiChange::SetUp();
    }
    void TearDown() override {
        DpiChange::TearDown();
        PatchImport("kernel32.dll", "GetProcAddress", RealGetProcAddress);
    }
};

// Where Windows cannot tell a window's DPI, the graph opens at the DPI the main window was moved
// to, not at the system's.
TEST_F(DpiChangeWithoutDpiForWindow, TheHopGraphOpensAtTheMainWindowsDpi) {
    RECT r;
    GetWindowRect(MainWindow, &r);
    SendDpiChanged(144, r);
    OpenHopGraph();
    ASSERT_NE(GraphWindow, nullptr);
    MINMAXINFO limits = {};
    SendMessageA(GraphWindow, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, 720);
    EXPECT_EQ(limits.ptMinTrackSize.y, 540);
}

// Run by tests/program/at_dpi.sh in a prefix whose LogPixels is 192.
class AtDpi192 : public DpiChange {};

TEST_F(AtDpi192, EverythingStartsTwiceItsSize) {
    ASSERT_EQ(WindowDpi(MainWindow), 192) << "run in a prefix of 192 DPI (at_dpi.sh)";
    EXPECT_EQ(MainWindowDpi, 192);
    EXPECT_EQ(Measure().columns, Scaled(kWidthsAt96, 200));
    RECT r;
    GetWindowRect(MainWindow, &r);
    EXPECT_EQ(r.right - r.left, 1400) << "700 x 340 at 96 DPI";
    EXPECT_EQ(r.bottom - r.top, 680);
    Layout at192 = Measure();
    EXPECT_EQ(at192.hostWidth, 600);
    EXPECT_EQ(at192.bannerWidth, 320);
    EXPECT_EQ(at192.bannerHeight, 60);
    EXPECT_EQ(at192.rowImage, 24);
    EXPECT_EQ(at192.statusEdges[1], 480);
    // The hop graph opens twice its 96-DPI size too.
    OpenHopGraph();
    ASSERT_NE(GraphWindow, nullptr);
    RECT graph;
    GetWindowRect(GraphWindow, &graph);
    EXPECT_EQ(graph.right - graph.left, 1440) << "720 x 560 at 96 DPI";
    EXPECT_EQ(graph.bottom - graph.top, 1120);
    DestroyWindow(GraphWindow);
    // The same window laid out for 96 DPI, as on another screen: half of it.
    SendDpiChanged(96, RECT{r.left, r.top, r.left + 700, r.top + 340});
    ExpectScaled(at192, Measure(), 200);
}

// A file written at 192 DPI reads as one written at 96: the same widths, shown or hidden.
TEST_F(AtDpi192, TheIniFileHoldsWhatItHoldsAt96) {
    ShutDown();
    EXPECT_EQ(Columns(), kColumnsAt96);
    WriteWholeFile(folder->File("routelark.ini"), "[Columns]\r\nColumn2=-250\r\nColumn5=90\r\n");
    StartTheProgram();
    EXPECT_EQ(::Columns[kColumnHostName].ListWidth, 500);
    EXPECT_EQ(ListViewColumnWidth(HopTable, 4), 180) << "RTT, with Host Name hidden";
    ShutDown();
    EXPECT_EQ(Columns(), "[Columns]\r\nColumn2=-250\r\nColumn5=90\r\nColumn0=44\r\nColumn1=110\r\n"
                         "Column3=50\r\nColumn4=50\r\nColumn6=70\r\nColumn7=70\r\nColumn8=70\r\n"
                         "Column9=60\r\n")
        << "the keys the file held first, then the others";
}

} // namespace
