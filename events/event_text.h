// The words of the trace's events, one place for the Events window, the saved files and the
// events' own CSV (platform-free).
#pragma once
#include "events/trace_events.h"
#include <cstddef>
#include <cstdint>

// What happened, in a sentence: "Loss: 7 of 12 echoes lost, worst 35 ms", "The destination
// stopped answering", "Route changed: 198.18.3.1 (r3.routelark.test) -> 198.18.8.1". Names are
// given in the program's code page and come back in it. Into text (size bytes, always
// terminated); returns text.
char* FormatEventText(const TraceEvent& event, char* text, size_t size);

// Whether the event lasts a while (an episode) rather than happening at one second.
bool EventHasDuration(const TraceEvent& event);
// Seconds from the event's first to its last second, both counted; for an open one up to
// nowSecond (the trace's end while it is stopped).
uint32_t EventSeconds(const TraceEvent& event, uint32_t nowSecond);
// "" for an event of one moment; else its length, "45 s", "3 min 05 s", "2 h 07 min", with
// ", open" after it while it runs ("12 s, open").
char* FormatEventDuration(const TraceEvent& event, uint32_t nowSecond, char* text, size_t size);

// The Events window's title: "Events (12)", and with events let go, "Events (1,012; 12 oldest
// dropped)"; "Events" before any trace.
char* FormatEventsTitle(uint32_t sinceStart, uint32_t dropped, bool traced, char* text,
                        size_t size);

// The short word the JSON file and the CSV give each kind: "loss", "destination_silent",
// "destination_answers", "route_change".
const char* EventKindKey(TraceEventKind kind);
