// The trace's side of the event log: the engine started, given the ping cycle's hops and stopped
// with the trace, the route check that runs beside the ping cycle, and what a route change
// brings to the window.
#pragma once
#include <windows.h>

// Start: an empty log and route book, no check running (before the hops are cleared).
void BeginTraceEvents();
// The ping cycle starts over the HopList: its episodes are recorded, and its route checked.
void WatchPingCycle();
// Stop: the check ends and open episodes close.
void EndTraceEvents();
// The hops were cleared (a new trace, a session opened): no row's hop has changed, and no row is
// marked. The log itself stays until the next Start.
void ForgetRouteChanges();
// MSG_ROUTE_CHANGE from the echo worker: wParam the event's serial, lParam the row. The row is
// marked and the new address's name looked up.
void OnRouteChange(WPARAM wParam, LPARAM lParam);
