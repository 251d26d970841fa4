// The ping cycle: one echo with TTL 32 to each hop in turn, endlessly, with a pause after
// each hop and a longer one after each pass.
#include "app/app.h"
#include "echo/echo_service.h"
#include "hoptable/hop_table.h"
#include "settings/settings.h"
#include "trace/format_address.h"
#include "trace/trace.h"

enum : UINT { kCycleTtl = 32 };
// A pass in which every hop is ignored sends no echo; without a pause its posted
// completions would follow each other at once and starve the window of input.
static const int kQuietPassPauseMs = 500;
static bool PassSentEcho;

static bool StatusGoesOn(UINT status) {
    return status == 0 || status == 11010 || status == 11013;
}

static void PingHopAtCursor() {
    CPinger* hop = HopList[HopCursor];
    CurrentTraceState = TraceState::Pinging;
    if (!hop || hop->IsIgnored()) {
        PostMessageA(MainWindow, MSG_PING_REPLY, 0, static_cast<LPARAM>(0xFFFFFFFF));
        return;
    }
    SetStatusText(0, "Hop %d", HopCursor + 1);
    SetStatusText(1, "%s", FormatAddress(hop->GetDestination()));
    SetStatusText(2, "Pinging...");
    PassSentEcho = true;
    hop->SendEcho(MainWindow, MSG_PING_REPLY, Settings.PingTimeout, kCycleTtl);
}

void EnterPingCycle() {
    if (HopCount == 0) { // nothing to ping: the very first hop failed
        StopTrace();
        return;
    }
    HopCursor = 0;
    PassSentEcho = false;
    PingHopAtCursor();
}

void SendNextPing(UINT, WPARAM, LPARAM) {
    if (CurrentTraceState != TraceState::Waiting)
        return; // a tick that no pause of this trace is waiting for
    PingHopAtCursor();
}

// The pause after the hop at the cursor answered; moves the cursor on.
static int NextPause() {
    HopCursor++;
    if (HopCursor < HopCount)
        return Settings.PingDelay;
    HopCursor = 0;
    int pause = Settings.TraceDelay;
    if (!PassSentEcho && pause < kQuietPassPauseMs)
        pause = kQuietPassPauseMs;
    PassSentEcho = false;
    return pause;
}

void OnPingReply(UINT, WPARAM wParam, LPARAM) {
    if (CurrentTraceState != TraceState::Pinging)
        return;
    UINT status = static_cast<UINT>(wParam);
    CPinger* answered = HopList[HopCursor];
    int row = HopCursor;
    if (!StatusGoesOn(status)) {
        if (answered)
            RefreshHopRow(answered, row, 3, ColumnCount);
        ShowMessage(MainWindow, "Routelark", MB_TOPMOST | MB_ICONERROR | MB_OK, "Hop %d: %s\n%s",
                    HopCursor + 1, "Trace failed", IcmpStatusText(status));
        StopTrace();
        return;
    }
    int pause = NextPause();
    if (pause != 0) {
        CurrentTraceState = TraceState::Waiting;
        SetTimer(MainWindow, kPingTimerId, pause, nullptr);
    } else {
        // Without a pause the next echo goes out first: the worker makes it while the row of
        // the hop that answered is refreshed.
        PingHopAtCursor();
    }
    if (answered)
        RefreshHopRow(answered, row, 3, ColumnCount);
}
