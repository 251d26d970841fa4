// Route discovery: echoes to the destination with a TTL growing by one per hop; every
// router that answers, and finally the destination, becomes a hop of the HopList.
#include "app/app.h"
#include "asn/asn.h"
#include "common/bounded_text.h"
#include "common/lookup_pool.h"
#include "echo/echo_service.h"
#include "echo/history_store.h"
#include "hoptable/hop_table.h"
#include "save/save_trace.h"
#include "session/session.h"
#include "settings/history.h"
#include "settings/settings.h"
#include "trace/format_address.h"
#include "trace/event_watch.h"
#include "trace/trace.h"
#include "trace/trace_clock.h"

const char kUnknownHostText[] = "[Unknown]";

CPinger* HopList[kHopListCapacity];
int HopCount;
int HopCursor;
CPinger* ProbePinger;
IPAddr DestinationAddress;
char TracedHostText[kHostTextCapacity];
SYSTEMTIME TraceStartTime;
int TraceTargetKnown;
int AttemptCount;
TraceState CurrentTraceState = TraceState::Stopped;

enum : UINT { kStatusSuccess = 0, kStatusTimedOut = 11010, kStatusTtlExpired = 11013 };
enum { kTitleCapacity = 192 };

static void SetReadOnlyHostBox(int readOnly) {
    SendMessageA(HostBoxEdit, EM_SETREADONLY, readOnly, 0);
}

void StartTrace() {
    SendMessageA(HostBox, WM_GETTEXT, sizeof DestinationText,
                 reinterpret_cast<LPARAM>(DestinationText));
    if (!DestinationText[0])
        return;
    KillTimer(MainWindow, kPingTimerId); // a tick left from the last trace must not ping
    BeginTraceEvents(); // the new trace's log starts empty
    ClearHops();
    CopyText(TracedHostText, sizeof TracedHostText, DestinationText);
    TraceTargetKnown = 0;
    EnableSaveAs(0);
    MarkTraceStart(); // the new hops' buckets count from here, and the saved files' start
    StartAutosave();
    AddToHistory(HostBox, DestinationText);
    SendMessageA(HostBox, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    SetReadOnlyHostBox(1);
    ShowTraceControls(1);
    UpdateWindow(ToolbarWindow);
    CurrentTraceState = TraceState::Resolving; // TraceHandlers are in force from here on
    LookupHost(MainWindow, MSG_TRACE_RESOLVED, DestinationText);
}

void StopTrace() {
    bool running = CurrentTraceState != TraceState::Stopped;
    if (running) {
        MarkTraceStop(); // the graph stands at this second, like the table
        EndTraceEvents();
    }
    CurrentTraceState = TraceState::Stopped; // and IdleHandlers again
    KillTimer(MainWindow, kPingTimerId);
    EndPingRound();
    AbandonPendingLookup();
    ShowTraceControls(0);
    SetReadOnlyHostBox(0);
    SetStatusText(255, "Stopped");
    SetFocus(HostBoxEdit);
    if (running)
        AutosaveAtStop();
}

void ClearHops() {
    for (int i = kHopListCapacity - 1; i >= 0; i--) {
        delete HopList[i]; // waits when its echo is in flight
        HopList[i] = nullptr;
    }
    delete ProbePinger;
    ProbePinger = nullptr;
    HopCursor = 0;
    HopCount = 0;
    ForgetRouteChanges();
    NoteHopsCleared();
}

static void SetTraceTitle(const char* officialName, const char* addressText) {
    char title[kTitleCapacity];
    if (strcmp(DestinationText, officialName) != 0)
        FormatText(title, sizeof title, "%s - %s (%s - %s)", "Routelark", DestinationText,
                   officialName, addressText);
    else
        FormatText(title, sizeof title, "%s - %s (%s)", "Routelark", DestinationText, addressText);
    SetWindowTextA(MainWindow, title);
}

void OnDestinationResolved(UINT, WPARAM, LPARAM lParam) {
    if (CurrentTraceState != TraceState::Resolving)
        return;
    const hostent* answer = LookupAnswer();
    const char* officialName = DestinationText;
    bool found = HIWORD(lParam) == 0 && FirstAnswerAddress(answer, &DestinationAddress);
    if (found && answer->h_name)
        officialName = answer->h_name;
    if (!found) {
        // A dotted address whose reverse lookup failed is traced all the same.
        if (!IsDottedAddress(DestinationText, &DestinationAddress)) {
            ShowMessage(MainWindow, DestinationText, MB_ICONERROR, "%s",
                        "Unable to locate this hostname!");
            StopTrace();
            return;
        }
    }
    TraceTargetKnown = 1;
    EnableSaveAs(1);
    char addressText[16];
    CopyText(addressText, sizeof addressText, FormatAddress(DestinationAddress));
    SetTraceTitle(officialName, addressText);
    SendMessageA(HopTable, LVM_DELETEALLITEMS, 0, 0);
    UpdateWindow(HopTable);
    ProbePinger = new CPinger(DestinationAddress);
    if (!ProbePinger->OpenIcmp()) {
        ShowMessage(MainWindow, DestinationText, MB_ICONERROR, "%s",
                    "Unable to create Pinger object!");
        StopTrace();
        return;
    }
    AttemptCount = 0;
    SendNextProbe();
}

// A hop whose probes all timed out: a placeholder that is never opened and never pinged.
static void AddNoResponseHop() {
    CPinger* placeholder = new CPinger(0);
    HopList[HopCursor] = placeholder;
    char number[12];
    InsertHopRow(HopCursor, FormatText(number, sizeof number, "%d", HopCursor + 1));
    placeholder->SetHostText("[No response]");
    placeholder->MarkNoResponse();
    placeholder->SetHopIndex(HopCursor);
    RefreshHopRow(placeholder, HopCursor, kColumnHop, ColumnCount);
    HopCursor++;
    HopCount++;
    AttemptCount = 0;
}

void SendNextProbe() {
    if (!ProbePinger)
        return;
    if (AttemptCount >= Settings.Retries && HopCursor < kHopListCapacity)
        AddNoResponseHop();
    // At or past the limit: Setup may have lowered MaxHops below the hops already found.
    if (HopCount >= Settings.MaxHops || HopCount >= kHopListCapacity) {
        ShowMessage(MainWindow, "Routelark", MB_TOPMOST | MB_ICONEXCLAMATION | MB_OK,
                    "Maximum number of hops reached! (%d)", Settings.MaxHops);
        StopTrace();
        return;
    }
    SetStatusText(0, "Hop %d", HopCursor + 1);
    SetStatusText(2, "Pinging...");
    CurrentTraceState = TraceState::Probing;
    ProbePinger->SendEcho(MainWindow, MSG_TRACE_PROBE, Settings.PingTimeout,
                          (Settings.IgnoreFirst & 1) + HopCursor + 1);
}

// A router or the destination answered the probe: it becomes the hop at the cursor,
// counted once its name is known.
static void AddAnsweringHop() {
    char responderText[16];
    CopyText(responderText, sizeof responderText, FormatAddress(ProbePinger->GetLastAddress()));
    SetStatusText(1, "%s", responderText);
    SetStatusText(2, "%s", "");
    AttemptCount = 0;
    CPinger* hop = new CPinger(ProbePinger->GetLastAddress());
    if (!hop->OpenIcmp()) {
        delete hop;
        ShowMessage(MainWindow, responderText, MB_ICONERROR, "%s", "Unable to create Pinger object!");
        StopTrace();
        return;
    }
    hop->KeepHistory(NewHopHistory());
    hop->SetHopIndex(HopCursor);
    HopList[HopCursor] = hop;
    char number[12];
    InsertHopRow(HopCursor, FormatText(number, sizeof number, "%d", HopCursor + 1));
    RefreshHopRow(hop, HopCursor, kColumnHop, kColumnHostName); // before the name is known
    CurrentTraceState = TraceState::NamingHop;
    if (Columns[kColumnHostName].Visible)
        LookupHost(MainWindow, MSG_TRACE_HOPNAME, responderText);
    else
        PostMessageA(MainWindow, MSG_TRACE_HOPNAME, 0, static_cast<LPARAM>(0xFFFFFFFF));
}

static void OnProbeFailed(UINT status) {
    AttemptCount++;
    SetStatusText(1, "Failed %d: %s", AttemptCount, IcmpStatusText(status));
    if (status == kStatusTimedOut) {
        SendNextProbe();
        return;
    }
    int answer = ShowMessage(MainWindow, "Routelark", MB_TOPMOST | MB_ICONERROR | MB_YESNO,
                             "Hop %d\n%s\n%s\n\nRun trace up to this hop?", HopCursor + 1,
                             "Trace failed", IcmpStatusText(status));
    if (answer == IDYES)
        EnterPingCycle(); // stops instead when no hop has been found
    else
        StopTrace();
}

void OnProbeReply(UINT, WPARAM wParam, LPARAM) {
    if (!ProbePinger || CurrentTraceState != TraceState::Probing)
        return;
    UINT status = static_cast<UINT>(wParam);
    if (status == kStatusSuccess || status == kStatusTtlExpired)
        AddAnsweringHop();
    else
        OnProbeFailed(status);
}

void OnHopName(UINT, WPARAM, LPARAM lParam) {
    if (CurrentTraceState != TraceState::NamingHop || !HopList[HopCursor])
        return;
    CPinger* hop = HopList[HopCursor];
    const hostent* answer = LookupAnswer();
    bool named = HIWORD(lParam) == 0 && answer && answer->h_name;
    hop->SetHostText(named ? answer->h_name : kUnknownHostText);
    // The answering probe is the hop's first sample.
    hop->SetLastAddress(ProbePinger->GetLastAddress());
    hop->RecordRtt(ProbePinger->GetLastRtt());
    hop->SetSentCount(1);
    hop->SetReceivedCount(1);
    RecordHopEcho(hop, true, ProbePinger->GetLastRtt()); // no echo's target yet: no lock needed
    RequestHopAs(hop->GetDestination()); // while the setting is on; answered later
    RefreshHopRow(hop, HopCursor, kColumnHop, ColumnCount);
    HopCursor++;
    HopCount++;
    // The responder's address alone decides the end: a destination answering from
    // another of its addresses is probed further.
    if (ProbePinger->GetLastAddress() != DestinationAddress)
        SendNextProbe();
    else
        EnterPingCycle();
}
