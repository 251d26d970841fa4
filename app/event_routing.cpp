// The two event handler tables and the routing of the trace messages through them.
#include "app/event_routing.h"
#include "app/app.h"
#include "trace/trace.h"

const EventHandlerEntry TraceHandlers[kTraceMessageCount] = {
    {MSG_TRACE_RESOLVED, OnDestinationResolved},
    {MSG_TRACE_PROBE, OnProbeReply},
    {MSG_TRACE_HOPNAME, OnHopName},
    {MSG_PING_REPLY, OnPingReply},
    {MSG_PING_NEXT, SendNextPing},
};

// Stopped, the program takes no step: only the echo that was out at Stop still shows on its row.
const EventHandlerEntry IdleHandlers[kTraceMessageCount] = {
    {MSG_TRACE_RESOLVED, nullptr},       {MSG_TRACE_PROBE, nullptr}, {MSG_TRACE_HOPNAME, nullptr},
    {MSG_PING_REPLY, ShowEchoOutAtStop}, {MSG_PING_NEXT, nullptr},
};

const EventHandlerEntry* ActiveHandlers() {
    return CurrentTraceState == TraceState::Stopped ? IdleHandlers : TraceHandlers;
}

static bool IsLookupCompletion(UINT message) {
    return message == MSG_TRACE_RESOLVED || message == MSG_TRACE_HOPNAME;
}

LRESULT RouteTraceMessage(const EventHandlerEntry* table, UINT message, WPARAM wParam,
                          LPARAM lParam) {
    // A lookup that Stop abandoned still completes; its answer belongs to no trace.
    if (IsLookupCompletion(message) && !ClaimLookupCompletion(wParam))
        return 0;
    const EventHandlerEntry& entry = table[message - MSG_TRACE_RESOLVED];
    if (entry.handler)
        entry.handler(message, wParam, lParam);
    return 0;
}
