// The trace's clock: when the trace started and stopped, for the history's buckets, the graph's
// axis and the saved files.
#include "app/app.h"
#include "echo/echo_service.h"
#include "echo/history_store.h"
#include "trace/trace.h"
#include "trace/trace_clock.h"

static uint32_t StopSecond; // the second the trace stopped in; read only while it is stopped
static double StartClock;

SYSTEMTIME LocalTimeOfUtc(const SYSTEMTIME& utc) {
    SYSTEMTIME local;
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        local = utc;
    return local;
}

// The axis's origin: the start's wall-clock time as local seconds since midnight.
static void TakeStartClock() {
    SYSTEMTIME local = LocalTimeOfUtc(TraceStartTime);
    StartClock =
        local.wHour * 3600.0 + local.wMinute * 60 + local.wSecond + local.wMilliseconds / 1000.0;
}

void MarkTraceStart() {
    StartHistorySeconds();
    StopSecond = 0;
    GetSystemTime(&TraceStartTime); // the one start time: the axis's, and the saved files'
    TakeStartClock();
}

void RestoreTraceClock(uint32_t endSecond) {
    StopSecond = endSecond;
    TakeStartClock();
}

void MarkTraceStop() {
    StopSecond = TraceSecondNow();
}

uint32_t TraceEndSecond() {
    if (CurrentTraceState != TraceState::Stopped)
        return TraceSecondNow();
    uint32_t end = StopSecond;
    LockEchoStatistics(); // the echo out at Stop may be being counted
    for (int row = 0; row < HopCount; row++) {
        const HopHistory* history = HopList[row] ? HopList[row]->History() : nullptr;
        if (history && history->latestKey > end + 1)
            end = history->latestKey - 1;
    }
    UnlockEchoStatistics();
    return end;
}

double TraceStartClock() {
    return StartClock;
}
