// The trace's clock: when the trace started and stopped, and the second it has reached.
#pragma once
#include <windows.h>
#include <cstdint>

// Echoes are counted in the seconds since the trace started (TraceSecondNow, kept beside the
// histories), and the graph's axis shows them in local clock time from the start's wall-clock
// time (TraceStartTime).
void MarkTraceStart();
void MarkTraceStop();
// A trace opened from a file: stopped, TraceStartTime already set, its last echo endSecond in.
void RestoreTraceClock(uint32_t endSecond);
// The last second the graph shows: now while the trace runs; once stopped, the second it
// stopped in, or a later one that the echo out at Stop was counted in.
uint32_t TraceEndSecond();
// The local clock time of the trace's start, in seconds since midnight.
double TraceStartClock();
// The local time of a moment given in UTC, in the time zone in force at that moment; the UTC time
// itself where Windows cannot convert it.
SYSTEMTIME LocalTimeOfUtc(const SYSTEMTIME& utc);
