// The hop graph: each hop's latency and loss over time, kept where the echo is counted and shown
// in a window of its own beside the hop table.
#pragma once
#include <winsock2.h>
#include <windows.h>
#include "graph/hop_history.h"
#include <cstdint>

class CPinger;

// The trace's clock: echoes are counted in the seconds since the trace started (GetTickCount),
// and the axis shows them in local clock time from the start's wall-clock time (TraceStartTime).
void MarkTraceStart();
void MarkTraceStop();
// A trace opened from a file: stopped, TraceStartTime already set, its last echo endSecond in.
void RestoreTraceClock(uint32_t endSecond);
uint32_t TraceSecondNow();
// The last second the graph shows: now while the trace runs; once stopped, the second it
// stopped in, or a later one that the echo out at Stop was counted in.
uint32_t TraceEndSecond();
// The local clock time of the trace's start, in seconds since midnight.
double TraceStartClock();

// A hop's history: zeroed memory taken once, when the hop's pinger is made (nullptr when there is
// none to be had: the hop then keeps no history), and given back with the pinger.
HopHistory* NewHopHistory();
void FreeHopHistory(HopHistory* history);
// Counts one echo of the hop in its history, if it keeps one: inside EchoLock, where the hop's
// statistics are counted, or on the UI thread for a hop that is no echo's target.
void RecordHopEcho(CPinger* hop, bool answered, uint32_t rtt);
// The figures of the hop's span that ends with endSecond (TraceEndSecond, say), read under
// EchoLock; no figures for a hop without history.
SpanFigures HopSpanFigures(CPinger* hop, GraphSpan span, uint32_t endSecond);

// The graph window: opened from the View menu, Ctrl+G or a double click on a hop row; nullptr
// while closed.
extern HWND GraphWindow;
void OpenHopGraph();
// A hop's figures changed (a row refresh was asked for): the open graph repaints at its next
// frame (five a second at most); nothing while it is hidden or minimised.
void NoteHopFiguresChanged();
// The hop table's notifications to the main window: a double click on a row opens the graph on
// that hop; a change of the selected row moves the graph to it.
void OnHopTableNotify(const NMHDR* header);
// Keys that the graph window takes before the shortcuts: Ctrl+C copies its picture. True when
// taken.
bool TakeGraphKey(const MSG& msg);
// The graph's section of the INI file, written only once the graph has been opened.
void SaveGraphSettings();
