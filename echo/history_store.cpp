// Where a hop's history lives: memory that comes zeroed and is touched only as the buckets fill,
// the seconds its buckets count, and the one call that counts an echo in it.
#include "echo/echo_service.h"
#include "echo/history_store.h"
#include "echo/pinger.h"
#include "common/tick_count.h"
#include <atomic>

// StartTick is written on the UI thread at the trace's start, while no echo is out, and read by
// the echo worker after the hand-over of an echo of the new trace, which orders the two. Both
// threads write LastTick, each without waiting for the other: any value either leaves maps the
// 32-bit tick count to the same 64-bit one.
static std::atomic<uint64_t> StartTick{0};
static std::atomic<uint64_t> LastTick{0};

// The echoes of a trace come seconds apart, far closer than ExtendTickCount needs; the first
// call after a longer rest may carry the count into another 49.7 days, and every later call of
// that trace carries it likewise.
static uint64_t TickCount64() {
    uint64_t now = ExtendTickCount(LastTick.load(std::memory_order_relaxed), GetTickCount());
    LastTick.store(now, std::memory_order_relaxed);
    return now;
}

void StartHistorySeconds() {
    StartTick = TickCount64();
}

uint32_t TraceSecondNow() {
    uint64_t now = TickCount64(), start = StartTick;
    return now > start ? static_cast<uint32_t>((now - start) / 1000) : 0;
}

HopHistory* NewHopHistory() {
    // Untouched pages cost no working set: an hour's seconds fill a hop's ring over that hour.
    return static_cast<HopHistory*>(
        VirtualAlloc(nullptr, sizeof(HopHistory), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
}

void FreeHopHistory(HopHistory* history) {
    if (history)
        VirtualFree(history, 0, MEM_RELEASE);
}

void RecordHopEcho(CPinger* hop, bool answered, uint32_t rtt) {
    if (HopHistory* history = hop->History())
        RecordEcho(*history, TraceSecondNow(), answered, rtt);
}

void RecordHopEchoAt(CPinger* hop, uint32_t second, bool answered, uint32_t rtt) {
    if (HopHistory* history = hop->History())
        RecordEcho(*history, second, answered, rtt);
}

SpanFigures HopSpanFigures(CPinger* hop, GraphSpan span, uint32_t endSecond) {
    if (!hop || !hop->History())
        return EmptySpanFigures();
    LockEchoStatistics();
    SpanFigures figures = SumSpan(*hop->History(), span, endSecond);
    UnlockEchoStatistics();
    return figures;
}
