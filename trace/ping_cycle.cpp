// The ping cycle: one echo with TTL 32 to each hop in turn, endlessly, with a pause after
// each hop and a longer one after each pass.
#include "app/app.h"
#include "echo/echo_service.h"
#include "hoptable/hop_table.h"
#include "settings/settings.h"
#include "trace/event_watch.h"
#include "trace/format_address.h"
#include "trace/trace.h"

enum : UINT { kCycleTtl = 32 };
// A pass in which every hop is ignored sends no echo; without a pause its posted
// completions would follow each other at once and starve the window of input.
static const int kQuietPassPauseMs = 500;
static bool PassSentEcho;
// With both pauses 0 the echo worker runs the cycle (a round) and the UI thread follows it, once
// a display frame at most: the hop being pinged on the status bar, the rows of the hops answered.
static bool RoundOn;
static unsigned char RoundAnswered[kHopListCapacity];
static_assert(int(kHopListCapacity) <= int(kEchoRoundCapacity), "a round takes the whole hop list");
enum : UINT_PTR { kRoundFrameTimerId = 2 }; // its own procedure: never taken for the pause

// The pause after the hop at the cursor answered: the longer one after the last hop of a pass.
static int PauseAfterCursor() {
    if (HopCursor + 1 < HopCount)
        return Settings.PingDelay;
    int pause = Settings.TraceDelay;
    if (!PassSentEcho && pause < kQuietPassPauseMs)
        pause = kQuietPassPauseMs;
    return pause;
}

static void ShowHopBeingPinged() {
    SetStatusText(0, "Hop %d", HopCursor + 1);
    SetStatusText(1, "%s", FormatAddress(HopList[HopCursor]->GetDestination()));
    SetStatusText(2, "Pinging...");
    PassSentEcho = true;
}

static void PingHopAtCursor() {
    CPinger* hop = HopList[HopCursor];
    CurrentTraceState = TraceState::Pinging;
    if (!hop || hop->IsIgnored()) {
        PostMessageA(MainWindow, MSG_PING_REPLY, 0, static_cast<LPARAM>(0xFFFFFFFF));
        return;
    }
    ShowHopBeingPinged();
    RoundOn = Settings.PingDelay == 0 && Settings.TraceDelay == 0 &&
              StartEchoRound(HopList, HopCount, HopCursor, MainWindow, MSG_PING_REPLY,
                             MSG_PING_ROUND, Settings.PingTimeout, kCycleTtl);
    if (!RoundOn)
        hop->SendEcho(MainWindow, MSG_PING_REPLY, Settings.PingTimeout, kCycleTtl);
}

// Takes what the round did since the last look: refreshes the rows of the hops it answered and,
// while the trace pings, moves the cursor to the round's (the hop whose echo is out, or once the
// round has ended, the hop answered last, whose completion is posted as any echo's).
static EchoRoundProgress FollowRound(EchoRoundLook look) {
    EchoRoundProgress progress;
    TakeEchoRoundProgress(look, &progress, RoundAnswered);
    for (int row = 0; row < HopCount; row++)
        if (RoundAnswered[row] && HopList[row])
            RefreshHopRow(HopList[row], row, kColumnSent, ColumnCount);
    if (CurrentTraceState == TraceState::Pinging) {
        HopCursor = progress.cursor;
        // Once the round has ended, its cursor is the hop answered last, whose completion (a
        // failing status, say) the classic cycle takes on from: it shows that hop, as the
        // classic cycle would have since its echo went out.
        if (progress.answered || !progress.running)
            ShowHopBeingPinged();
    }
    return progress;
}

static void CALLBACK OnRoundFrame(HWND, UINT, UINT_PTR, DWORD) {
    // Quiet for a frame, the worker posts the next answer; a round that has ended posts its last.
    if (CurrentTraceState != TraceState::Pinging || !RoundOn ||
        !FollowRound(EchoRoundLook::Frame).answered)
        KillTimer(MainWindow, kRoundFrameTimerId);
}

void OnPingRoundNotice(UINT, WPARAM, LPARAM) {
    if (CurrentTraceState != TraceState::Pinging || !RoundOn)
        return; // a notice of a round that has ended since
    if (FollowRound(EchoRoundLook::Notice).running)
        SetTimer(MainWindow, kRoundFrameTimerId, kDisplayFrameMs, OnRoundFrame);
}

void EndPingRound() {
    if (!RoundOn)
        return;
    RoundOn = false;
    KillTimer(MainWindow, kRoundFrameTimerId);
    FollowRound(EchoRoundLook::End);
}

void EnterPingCycle() {
    if (HopCount == 0) { // nothing to ping: the very first hop failed
        StopTrace();
        return;
    }
    HopCursor = 0;
    PassSentEcho = false;
    RoundOn = false;
    WatchPingCycle();
    PingHopAtCursor();
}

void SendNextPing(UINT, WPARAM, LPARAM) {
    if (CurrentTraceState != TraceState::Waiting)
        return; // a tick that no pause of this trace is waiting for
    PingHopAtCursor();
}

// The pause after the hop at the cursor answered; moves the cursor on.
static int NextPause() {
    int pause = PauseAfterCursor();
    if (++HopCursor == HopCount) {
        HopCursor = 0;
        PassSentEcho = false;
    }
    return pause;
}

void OnPingReply(UINT, WPARAM wParam, LPARAM) {
    if (CurrentTraceState != TraceState::Pinging)
        return;
    EndPingRound(); // the last echo of a round the worker ended: on from its hop as before it
    UINT status = static_cast<UINT>(wParam);
    CPinger* answered = HopList[HopCursor];
    int row = HopCursor;
    if (!IcmpStatusGoesOn(status)) {
        if (answered)
            RefreshHopRow(answered, row, kColumnSent, ColumnCount);
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
        RefreshHopRow(answered, row, kColumnSent, ColumnCount);
}

void ShowEchoOutAtStop(UINT, WPARAM, LPARAM lParam) {
    // lParam may name a pinger of a trace cleared since: it is only compared, never followed.
    for (int row = 0; row < HopCount; row++)
        if (HopList[row] && reinterpret_cast<LPARAM>(HopList[row]) == lParam)
            RefreshHopRow(HopList[row], row, kColumnSent, ColumnCount);
}
