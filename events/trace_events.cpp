// The trace's event log: a fixed ring of the newest events, with the counts the views show.
#include "events/trace_events.h"
#include <cstring>

// Static storage: the ring is there from the program's start, and no event allocates.
static TraceEvent Ring[kEventCapacity];
static int OldestIndex; // the ring slot of event 0
static int KeptCount;
static uint32_t SinceStart, Dropped, Version;

void ClearTraceEvents() {
    OldestIndex = KeptCount = 0;
    SinceStart = Dropped = 0;
    ++Version;
}

TraceEvent& AddTraceEvent(TraceEventKind kind, int hop, uint32_t second) {
    int slot;
    if (KeptCount < kEventCapacity) {
        slot = (OldestIndex + KeptCount) % kEventCapacity;
        ++KeptCount;
    } else { // full: the newest takes the oldest's slot
        slot = OldestIndex;
        OldestIndex = (OldestIndex + 1) % kEventCapacity;
        ++Dropped;
    }
    ++SinceStart;
    ++Version;
    TraceEvent& event = Ring[slot];
    std::memset(&event, 0, sizeof event);
    event.Kind = kind;
    event.Hop = static_cast<uint8_t>(hop);
    event.StartSecond = event.EndSecond = second;
    return event;
}

void TouchTraceEvents() {
    ++Version;
}

TraceEvent* KeptTraceEvent(uint32_t serial) {
    uint32_t newerCount = SinceStart - serial; // events added after it
    if (serial == 0 || serial > SinceStart || newerCount >= static_cast<uint32_t>(KeptCount))
        return nullptr;
    return &Ring[(OldestIndex + KeptCount - 1 - static_cast<int>(newerCount)) % kEventCapacity];
}

void RestoreTraceEventCounts(uint32_t sinceStart, uint32_t dropped) {
    SinceStart = sinceStart;
    Dropped = dropped;
    ++Version;
}

int TraceEventCount() {
    return KeptCount;
}

const TraceEvent& TraceEventAt(int index) {
    return Ring[(OldestIndex + index) % kEventCapacity];
}

uint32_t TraceEventsSinceStart() {
    return SinceStart;
}

uint32_t TraceEventsDropped() {
    return Dropped;
}

uint32_t TraceEventsVersion() {
    return Version;
}
