// Routing of the five trace messages through the active event handler table.
#pragma once
#include <windows.h>

typedef void (*TraceHandler)(UINT message, WPARAM wParam, LPARAM lParam);

struct EventHandlerEntry {
    UINT message;
    TraceHandler handler; // nullptr: the message is dropped
};
enum { kTraceMessageCount = 5 };

extern const EventHandlerEntry TraceHandlers[kTraceMessageCount];
extern const EventHandlerEntry IdleHandlers[kTraceMessageCount];
// The table in force: TraceHandlers while a trace runs, IdleHandlers otherwise. It is read off
// CurrentTraceState, so that whether a trace runs is kept in one place only.
const EventHandlerEntry* ActiveHandlers();

// Handles one of the messages 1124 ... 1128 on the main window through table (the main
// window passes ActiveHandlers()); returns 0.
LRESULT RouteTraceMessage(const EventHandlerEntry* table, UINT message, WPARAM wParam,
                          LPARAM lParam);
