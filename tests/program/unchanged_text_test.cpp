// A cell, row image or status text that already shows what it would be set to is not set
// again: at every echo to a lone hop only the counts change.
#include "harness/import_patch.h"
#include "trace_fixture.h"
#include <map>

namespace {

decltype(&SendMessageA) RealSend;
std::map<std::pair<HWND, UINT>, int> Sent; // messages sent, by window and message

LRESULT WINAPI CountingSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Sent[{window, message}]++;
    return RealSend(window, message, wParam, lParam);
}

class UnchangedText : public TraceTest {
  protected:
    void SetUp() override {
        TraceTest::SetUp();
        RealSend = reinterpret_cast<decltype(&SendMessageA)>(
            PatchImport("user32.dll", "SendMessageA", reinterpret_cast<void*>(CountingSend)));
        ASSERT_NE(RealSend, nullptr);
    }
    void TearDown() override {
        PatchImport("user32.dll", "SendMessageA", reinterpret_cast<void*>(RealSend));
        TraceTest::TearDown();
    }
    int Count(HWND window, UINT message) { return Sent[{window, message}]; }
    void NextEcho() {
        FakeIcmpReleaseHeld();
        ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1);
    }
};

TEST_F(UnchangedText, OnlyTheCountsOfALoneHopAreSetAtEachEcho) {
    UseScenario(
        "echo 198.18.7.1 1-31 reply dest rtt 5\necho 198.18.7.1 32 reply dest rtt 5 hold\n");
    Start(LAB_DEST_NAME);
    ASSERT_EQ(FakeIcmpWaitForHeldWhilePumping(), 1);
    NextEcho(); // the status bar shows the cycle's texts from the first echo on
    Sent.clear();
    NextEcho();
    EXPECT_EQ(Count(HopTable, LVM_SETITEMTEXTA), 2) << "Sent and Recv; RTTs and loss stand";
    EXPECT_EQ(Count(HopTable, LVM_SETITEMA), 0) << "the row image stands";
    EXPECT_EQ(Count(StatusBar, SB_SETTEXTA), 0);
    EXPECT_EQ(Count(StatusBar, SB_SIMPLE), 0);
    EXPECT_EQ(Row(0), "1|198.18.7.1|dest.routelark.test|3|3|5ms|5ms|5ms|5ms|0%");
    EXPECT_EQ(StatusText(2), "Pinging...");
}

} // namespace
