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
extern const EventHandlerEntry* ActiveHandlers; // IdleHandlers until the first trace starts

// Handles one of the messages 1124 ... 1128 on the main window; returns 0.
LRESULT RouteTraceMessage(UINT message, WPARAM wParam, LPARAM lParam);
