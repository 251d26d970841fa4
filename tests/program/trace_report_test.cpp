// The trace report: its exact bytes, the HTML wrapper, long names, and the Copy command's
// hand-over to the clipboard, read back inside Wine.
#include "app/app.h"
#include "app/resource.h"
#include "harness/clipboard.h"
#include "harness/import_patch.h"
#include "harness/program.h"
#include "hoptable/hop_table.h"
#include "hoptable/trace_report.h"
#include "settings/settings.h"
#include "trace/trace.h"
#include <vector>

namespace {

class TraceReport : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Settings.CopyHTML = 0;
    }
    // A hop with the given statistics; the last sample is its RTT.
    void AddHop(int row, const char* address, const char* host, int sent,
                const std::vector<uint32_t>& samples) {
        CPinger* hop = new CPinger(inet_addr(address));
        hop->SetHostText(host);
        for (uint32_t rtt : samples)
            hop->RecordRtt(rtt);
        hop->SetSentCount(sent);
        hop->SetReceivedCount(static_cast<int>(samples.size()));
        HopList[row] = hop;
        HopCount = row + 1;
    }
    void AddPlaceholder(int row) {
        CPinger* hop = new CPinger(0);
        hop->SetHostText("[No response]");
        hop->MarkNoResponse();
        HopList[row] = hop;
        HopCount = row + 1;
    }
    // The three hops of the report's examples; the third is the example line.
    void AddExampleHops() {
        AddHop(0, "198.18.1.1", "r1.routelark.test", 12, {1, 2, 3});
        AddPlaceholder(1);
        AddHop(2, "192.0.2.1", "[Unknown]", 12, {18, 31, 21, 21, 21, 21, 21, 21, 21, 26, 20});
    }
    std::string Report() {
        std::string report;
        BuildTraceReport(report);
        return report;
    }
    void Copy() { SendMessageA(MainWindow, WM_COMMAND, IDM_COPY, 0); }
};

const char kHeader[] = "Hop  IP Address       Host Name                     Sent  Recv     RTT  "
                       "Av RTT  Min RTT  Max RTT % Loss";
const char kExampleLine[] = "3    192.0.2.1        [Unknown]                       12    11    "
                            "20ms    22ms     18ms     31ms     9%";

void SetClipboardText(const std::string& text) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

TEST_F(TraceReport, HeaderEmptyLineAndRowsEndInCrLf) {
    AddExampleHops();
    EXPECT_EQ(Report(), std::string(kHeader) + "\r\n\r\n" +
                            "1    198.18.1.1       r1.routelark.test               12     3     "
                            "3ms     2ms      1ms      3ms    75%\r\n" +
                            "2    ---              [No response]                  ---   ---     "
                            "---     ---      ---      ---    ---\r\n" +
                            kExampleLine + "\r\n");
    EXPECT_EQ(strlen(kHeader), 103u);
    EXPECT_EQ(strlen(kExampleLine), 103u);
}

TEST_F(TraceReport, HiddenColumnsAreLeftOut) {
    for (int n : {kColumnHostName, kColumnSent, kColumnReceived, kColumnAverageRtt, kColumnMinRtt,
                  kColumnMaxRtt})
        HideColumn(n);
    AddExampleHops();
    EXPECT_EQ(Report().substr(0, 41), "Hop  IP Address            RTT % Loss\r\n\r\n");
}

TEST_F(TraceReport, HtmlWrapsTheTextAndEscapesCellsPaddedByTheirOwnLength) {
    Settings.CopyHTML = 1;
    AddExampleHops();
    HopList[0]->SetHostText("a<b>&\"c\"");
    const std::string report = Report();
    const std::string start = "<FONT FACE=\"Courier\">\r\n<PRE>\r\n" + std::string(kHeader) +
                              "\r\n\r\n1    198.18.1.1       a&lt;b&gt;&amp;&quot;c&quot;" +
                              std::string(28 - 8, ' ') + "    12";
    EXPECT_EQ(report.substr(0, start.size()), start);
    const std::string end = std::string(kExampleLine) + "\r\n</PRE>\r\n</FONT>\r\n";
    ASSERT_GE(report.size(), end.size());
    EXPECT_EQ(report.substr(report.size() - end.size()), end);
}

TEST_F(TraceReport, LongNameShiftsOnlyItsOwnLine) {
    AddExampleHops();
    const std::string name(40, 'n');
    HopList[0]->SetHostText(name.c_str());
    const std::string report = Report();
    const size_t first = report.find("\r\n\r\n") + 4;
    const std::string line = report.substr(first, report.find("\r\n", first) - first);
    EXPECT_EQ(line, "1    198.18.1.1       " + name +
                        "    12     3     3ms     2ms      1ms      "
                        "3ms    75%");
    EXPECT_NE(report.find(std::string(kExampleLine) + "\r\n"), std::string::npos);
}

TEST_F(TraceReport, FortyRowsOfLongestNamesAreBuiltWhole) {
    const std::string name(1023, 'n');
    for (int r = 0; r < 40; r++)
        AddHop(r, "198.18.1.1", name.c_str(), 1, {1});
    const std::string report = Report();
    // 5 + 17 + 1023 + 6 + 6 + 8 + 8 + 9 + 9 + 7 characters and CR LF per row.
    EXPECT_EQ(report.size(), 103u + 4 + 40 * (1098 + 2));
    EXPECT_EQ(report.substr(report.size() - 9), "     0%\r\n");
}

TEST_F(TraceReport, CopyPutsTheReportOnTheClipboardByteForByte) {
    AddExampleHops();
    Copy();
    EXPECT_EQ(ClipboardText(), Report());
    Settings.CopyHTML = 1;
    Copy();
    EXPECT_EQ(ClipboardText(), Report());
}

TEST_F(TraceReport, CopyWithoutHopsLeavesTheClipboardAlone) {
    SetClipboardText("held before");
    Copy();
    EXPECT_EQ(ClipboardText(), "held before");
}

// Counts the program's global blocks, to see that a failed copy keeps none.
int LiveBlocks;
bool FailAllocations;
decltype(&GlobalAlloc) RealGlobalAlloc; // the imports patched over; this file calls through them
decltype(&GlobalFree) RealGlobalFree;
HGLOBAL WINAPI CountingGlobalAlloc(UINT flags, SIZE_T size) {
    if (FailAllocations)
        return nullptr;
    HGLOBAL block = RealGlobalAlloc(flags, size);
    LiveBlocks += block ? 1 : 0;
    return block;
}
HGLOBAL WINAPI CountingGlobalFree(HGLOBAL block) {
    LiveBlocks--;
    return RealGlobalFree(block);
}

// Holds the clipboard open from another thread until the second event is set.
DWORD WINAPI HoldClipboard(void* events) {
    HANDLE* e = static_cast<HANDLE*>(events);
    HWND window =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    OpenClipboard(window);
    SetEvent(e[0]);
    WaitForSingleObject(e[1], INFINITE);
    CloseClipboard();
    DestroyWindow(window);
    return 0;
}

TEST_F(TraceReport, FailedCopyKeepsTheClipboardAndLeaksNothing) {
    AddExampleHops();
    SetClipboardText("held before");
    void* alloc =
        PatchImport("kernel32.dll", "GlobalAlloc", reinterpret_cast<void*>(CountingGlobalAlloc));
    void* release =
        PatchImport("kernel32.dll", "GlobalFree", reinterpret_cast<void*>(CountingGlobalFree));
    ASSERT_TRUE(alloc && release);
    RealGlobalAlloc = reinterpret_cast<decltype(&GlobalAlloc)>(alloc);
    RealGlobalFree = reinterpret_cast<decltype(&GlobalFree)>(release);
    LiveBlocks = 0;
    FailAllocations = true; // no memory to be had
    Copy();
    EXPECT_EQ(ClipboardText(), "held before");
    FailAllocations = false;
    // Another program holds the clipboard open.
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE events[2] = {opened, done};
    HANDLE holder = CreateThread(nullptr, 0, HoldClipboard, events, 0, nullptr);
    WaitForSingleObject(opened, INFINITE);
    Copy();
    SetEvent(done);
    WaitForSingleObject(holder, INFINITE);
    EXPECT_EQ(LiveBlocks, 0) << "the block made for the clipboard is freed again";
    EXPECT_EQ(ClipboardText(), "held before");
    PatchImport("kernel32.dll", "GlobalAlloc", alloc);
    PatchImport("kernel32.dll", "GlobalFree", release);
}

} // namespace
