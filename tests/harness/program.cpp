// The program fixture for in-process tests.
#include "harness/program.h"
#include "app/app.h"
#include "trace/trace.h"
#include "whois/whois.h"
#include <commctrl.h>

void ProgramTest::SetUp() {
    folder.reset(new ScratchFolder);
    PrepareFolder();
    StartTheProgram();
}

void ProgramTest::StartTheProgram() {
    started = StartProgram(GetModuleHandleA(nullptr));
    ASSERT_TRUE(started) << "StartProgram failed";
    visibleAfterStart = IsWindowVisible(MainWindow);
    ShowWindow(MainWindow, SW_HIDE);
    PumpFor(0);
}

void ProgramTest::Restart() {
    ShutDown();
    StartTheProgram();
}

bool ProgramTest::ShutDown() {
    if (MainWindow)
        DestroyWindow(MainWindow);
    FreeHtmlHelp(); // as RunProgram does once its loop has ended
    return MainWindow == nullptr;
}

void ProgramTest::TearDown() {
    // A lookup's area comes back when its completion reaches the program's window: lookups
    // the test left out come back now, so that a next test in this process finds every area
    // free (those that report to a test's own window, gone by now, are that test's to claim).
    if (started && MainWindow)
        PumpUntil([] { return TraceLookupsOut() == 0 && WhoisLookupsOut() == 0; }, 5000);
    if (started)
        ShutDown();
    folder.reset();
}

void ProgramTest::TypeHost(const std::string& text) {
    SetWindowTextA(HostBox, text.c_str());
}

std::string ProgramTest::StatusText(int part) {
    // In simple mode the status bar answers for its single text under part 0 (Wine knows
    // no part 255 when asked for text).
    if (part == 255) {
        if (!SendMessageA(StatusBar, SB_ISSIMPLE, 0, 0))
            return "<not in simple mode>";
        part = 0;
    }
    char text[512] = "";
    LRESULT length = SendMessageA(StatusBar, SB_GETTEXTLENGTHA, part, 0);
    if (LOWORD(length) < sizeof text)
        SendMessageA(StatusBar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string ProgramTest::WindowTitle() {
    char text[512] = "";
    GetWindowTextA(MainWindow, text, sizeof text);
    return text;
}
