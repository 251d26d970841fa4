// Starts and stops the event engine and the route check with the trace, under the echo lock the
// worker records in, and follows the route changes it reports.
#include "trace/event_watch.h"
#include "app/app.h"
#include "echo/echo_service.h"
#include "echo/route_check.h"
#include "events/hop_events.h"
#include "events/route_book.h"
#include "hoptable/route_mark.h"
#include "settings/settings.h"
#include "trace/route_names.h"
#include "trace/trace.h"

// The check's echoes wait this long at least, and at most the cycle's timeout; between the two,
// twice the slowest answer the rows have had, and a margin. A lost check echo then holds the
// cycle up little longer than an answer would have taken.
enum : DWORD { kShortestCheckTimeout = 200, kCheckTimeoutMargin = 100 };

void BeginTraceEvents() {
    StopRouteCheck();
    ForgetRouteNameLookups();
    LockEchoStatistics();
    StartHopEvents();
    UnlockEchoStatistics();
}

void ForgetRouteChanges() {
    StopRouteCheck(); // its rows are those of the hops cleared
    ClearRouteChangedRows();
    LockEchoStatistics();
    ClearRouteBook();
    UnlockEchoStatistics();
}

// The destination is the last hop when the traced address answered there; a trace cut short (the
// hop limit, a failure answered with "run up to this hop") has none.
static int DestinationRow() {
    int last = HopCount - 1;
    if (last >= 0 && HopList[last] && !HopList[last]->IsNoResponse() &&
        HopList[last]->GetDestination() == DestinationAddress)
        return last;
    return -1;
}

static DWORD CheckTimeout() {
    DWORD slowest = 0;
    for (int row = 0; row < HopCount; row++)
        if (HopList[row] && HopList[row]->GetMaxRtt() > slowest)
            slowest = HopList[row]->GetMaxRtt();
    DWORD timeout = 2 * slowest + kCheckTimeoutMargin;
    if (timeout < kShortestCheckTimeout)
        timeout = kShortestCheckTimeout;
    DWORD longest = static_cast<DWORD>(Settings.PingTimeout);
    return timeout < longest ? timeout : longest;
}

void WatchPingCycle() {
    unsigned char ttls[kHopListCapacity] = {};
    LockEchoStatistics();
    SetEventHops(HopCount, DestinationRow());
    for (int row = 0; row < HopCount; row++) {
        CPinger* hop = HopList[row];
        bool answered = hop && !hop->IsNoResponse();
        SetRouteRow(row, answered ? hop->GetDestination() : 0, answered ? hop->GetHostText() : "");
        // Row i was found with TTL IgnoreFirst + i + 1; a placeholder's TTL costs a timeout.
        if (answered)
            ttls[row] = static_cast<unsigned char>((Settings.IgnoreFirst & 1) + row + 1);
    }
    UnlockEchoStatistics();
    StartRouteCheck(MainWindow, MSG_ROUTE_CHANGE, DestinationAddress, ttls, HopCount,
                    CheckTimeout());
}

void EndTraceEvents() {
    StopRouteCheck();
    LockEchoStatistics();
    StopHopEvents();
    UnlockEchoStatistics();
}

void OnRouteChange(WPARAM wParam, LPARAM lParam) {
    int row = static_cast<int>(lParam);
    if (CurrentTraceState == TraceState::Stopped || row < 0 || row >= HopCount)
        return; // a change reported as the trace stopped: its event stays, unnamed
    MarkRouteChangedRow(row);
    LookUpRouteChangeName(static_cast<uint32_t>(wParam));
}
