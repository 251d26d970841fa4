// The hop graph: each hop's latency and loss over time, kept where the echo is counted and shown
// in a window of its own beside the hop table.
#pragma once
#include <winsock2.h>
#include <windows.h>
#include "echo/history_store.h"
#include "trace/trace_clock.h"
#include <cstdint>

// The graph window: opened from the View menu, Ctrl+G or a double click on a hop row; nullptr
// while closed.
extern HWND GraphWindow;
void OpenHopGraph();
// The graph opened on the hop of row, in the shortest span whose time line holds the trace's
// second (an event's, from the Events window); that hop selected in the table too.
void ShowHopInGraph(int row, uint32_t second);
// A hop's figures changed (a row refresh was asked for): the open graph repaints at its next
// frame (five a second at most); nothing while it is hidden or minimised.
void NoteHopFiguresChanged();
// Every notification of the hop table to the main window passes here; the graph acts on two: a
// double click on a row opens the graph on that hop, and a change of the selected row moves the
// graph to it.
void FollowHopTable(const NMHDR* header);
// Keys that the graph window takes before the shortcuts: Ctrl+C copies its picture, and Return,
// which would start a new trace, does nothing there. True when taken.
bool TakeGraphKey(const MSG& msg);
// The graph's section of the INI file, written only once the graph has been opened.
void SaveGraphSettings();
