// The trace's clock: seconds since the trace started, for the history's buckets and the axis.
#include "app/app.h"
#include "echo/echo_service.h"
#include "graph/graph.h"
#include "trace/trace.h"
#include <atomic>

// Written on the UI thread at Start, while no echo is out; read by the echo worker after the
// hand-over of an echo of the new trace, which orders the two.
static std::atomic<DWORD> StartTick{0};
static DWORD StopTick;
static double StartClock;

static void TakeStartClock() {
    SYSTEMTIME local;
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &TraceStartTime, &local))
        local = TraceStartTime;
    StartClock =
        local.wHour * 3600.0 + local.wMinute * 60 + local.wSecond + local.wMilliseconds / 1000.0;
}

void MarkTraceStart() {
    StartTick = GetTickCount();
    StopTick = StartTick;
    GetSystemTime(&TraceStartTime); // the one start time: the axis's, and the saved files'
    TakeStartClock();
}

void RestoreTraceClock(uint32_t endSecond) {
    StopTick = GetTickCount();
    StartTick = StopTick - endSecond * 1000;
    TakeStartClock();
}

void MarkTraceStop() {
    StopTick = GetTickCount();
}

uint32_t TraceSecondNow() {
    return (GetTickCount() - StartTick) / 1000; // unsigned: right across the tick count's wrap
}

uint32_t TraceEndSecond() {
    if (CurrentTraceState != TraceState::Stopped)
        return TraceSecondNow();
    uint32_t end = (StopTick - StartTick) / 1000;
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
