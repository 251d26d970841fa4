// Where each hop's history is kept and counted: beside the hop's statistics, under the echo lock.
#pragma once
#include "graph/hop_history.h"
#include <cstdint>

class CPinger;

// The seconds the buckets count: since StartHistorySeconds, which the trace's start calls. They
// come from a 64-bit tick count, so that a trace of more than 49.7 days goes on counting.
void StartHistorySeconds();
uint32_t TraceSecondNow();

// A hop's history: zeroed memory taken once, when the hop's pinger is made (nullptr when there is
// none to be had: the hop then keeps no history), and given back with the pinger.
HopHistory* NewHopHistory();
void FreeHopHistory(HopHistory* history);
// Counts one echo of the hop in its history, if it keeps one: inside EchoLock, where the hop's
// statistics are counted, or on the UI thread for a hop that is no echo's target.
void RecordHopEcho(CPinger* hop, bool answered, uint32_t rtt);
// The same at a second already read (TraceSecondNow), so that its event counts the same second.
void RecordHopEchoAt(CPinger* hop, uint32_t second, bool answered, uint32_t rtt);
// The figures of the hop's span that ends with endSecond (TraceEndSecond, say), read under
// EchoLock; no figures for a hop without history.
SpanFigures HopSpanFigures(CPinger* hop, GraphSpan span, uint32_t endSecond);
