// The trace's events: loss episodes, the destination going silent and answering again, and route
// changes, as the Events window, the saved files and the session file read them (platform-free).
//
// The echo worker records them under the echo lock, where each echo is counted; the UI thread
// reads them under LockEchoStatistics. The log is a ring of the newest kEventCapacity events,
// taken once at start, so that recording an event allocates nothing.
#pragma once
#include <cstdint>

enum { kEventCapacity = 1000, kEventNameCapacity = 256 };

enum class TraceEventKind : uint8_t {
    LossEpisode,        // a hop (the destination included) lost echoes by the episode rule
    DestinationSilent,  // the destination stopped answering
    DestinationAnswers, // the destination answers again
    RouteChange,        // a hop's TTL is answered by another address than its row's
};

struct TraceEvent {
    TraceEventKind Kind;
    uint8_t Open;          // an episode still running (no end yet); 0 for the other kinds
    uint8_t NotPassedOn;   // a loss episode whose later hops lost nothing in the same time
    uint8_t Hop;           // the hop's HopList index (HopNumber gives the number shown)
    uint32_t StartSecond;  // the trace's second (TraceSecondNow) it started, or happened
    uint32_t EndSecond;    // an episode's last second; equal to StartSecond for the others
    uint32_t Sent, Lost;   // echoes of the hop in an episode
    uint32_t WorstRtt;     // ms, the longest answer in an episode (0: none answered)
    uint32_t OldAddress;   // route change: the row's address (network byte order)
    uint32_t NewAddress;   // route change: the address that answered its TTL instead
    char OldName[kEventNameCapacity]; // their host names as the trace knows them ("" until
    char NewName[kEventNameCapacity]; // known: the address stands for it)
};

// The read side, on the UI thread under LockEchoStatistics. Index 0 is the oldest event kept.
int TraceEventCount();             // events kept, at most kEventCapacity
const TraceEvent& TraceEventAt(int index);
uint32_t TraceEventsSinceStart();  // every event recorded since Start, dropped ones included
uint32_t TraceEventsDropped();     // the oldest ones the ring let go
// Changes whenever an event is added or an open one changes: a view compares it to redraw.
uint32_t TraceEventsVersion();

// The write side: the echo worker under the echo lock; the UI thread while no trace runs (Start,
// a session opened). Clearing keeps the ring's memory.
void ClearTraceEvents();
// A new event, zeroed but for its kind, hop and seconds, as the newest; when the ring is full the
// oldest is let go and counted as dropped. Never fails.
TraceEvent& AddTraceEvent(TraceEventKind kind, int hop, uint32_t second);
// After an open event kept in the ring changed in place (its end, counts or names).
void TouchTraceEvents();
// An event by its serial number, the TraceEventsSinceStart count right after it was added: the
// event to change in place later, or nullptr once the ring has let it go (or it was cleared).
TraceEvent* KeptTraceEvent(uint32_t serial);
// A session file's counts, put back after its events were added again.
void RestoreTraceEventCounts(uint32_t sinceStart, uint32_t dropped);
