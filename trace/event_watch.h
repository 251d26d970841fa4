// The trace's side of the event log: the engine started, given the ping cycle's hops and stopped
// with the trace, and the route check that runs beside the ping cycle.
#pragma once

// Start: an empty log and route book, no check running (before the hops are cleared).
void BeginTraceEvents();
// The ping cycle starts over the HopList: its episodes are recorded, and its route checked.
void WatchPingCycle();
// Stop: the check ends and open episodes close.
void EndTraceEvents();
