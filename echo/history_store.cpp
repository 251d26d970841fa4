// Where a hop's history lives: memory that comes zeroed and is touched only as the buckets fill,
// and the one call that counts an echo in it.
#include "echo/echo_service.h"
#include "echo/history_store.h"
#include "echo/pinger.h"
#include "trace/trace_clock.h"

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

SpanFigures HopSpanFigures(CPinger* hop, GraphSpan span, uint32_t endSecond) {
    if (!hop || !hop->History())
        return EmptySpanFigures();
    LockEchoStatistics();
    SpanFigures figures = SumSpan(*hop->History(), span, endSecond);
    UnlockEchoStatistics();
    return figures;
}
