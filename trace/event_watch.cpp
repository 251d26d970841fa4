// Starts and stops the event engine with the trace, under the echo lock the worker records in.
#include "trace/event_watch.h"
#include "echo/echo_service.h"
#include "events/hop_events.h"
#include "trace/trace.h"

void BeginTraceEvents() {
    LockEchoStatistics();
    StartHopEvents();
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

void WatchPingCycle() {
    LockEchoStatistics();
    SetEventHops(HopCount, DestinationRow());
    UnlockEchoStatistics();
}

void EndTraceEvents() {
    LockEchoStatistics();
    StopHopEvents();
    UnlockEchoStatistics();
}
