// Where the user sees the trace's events: the Events window's list, its place in the INI file,
// the events' own CSV, and the alert when the destination stops answering.
#pragma once
#include <winsock2.h>
#include <windows.h>
#include <cstdint>
#include <string>

// The Events window: opened from the View menu or Ctrl+E; nullptr while closed.
extern HWND EventsWindow;
void OpenEventsWindow();
// The UI thread was woken by the ping cycle or the hops were cleared: when the log's version
// moved, the open list and its title follow (five times a second at most) and a new "stopped
// answering" alerts the user once, if the Preferences ask for it. Cheap when nothing changed.
void NoteTraceEvents();
// After a session's events were put back: they are shown, but alert no one.
void NoteTraceEventsRestored();
// Keys the Events window takes before the shortcuts: Return shows the selected event in the hop
// graph rather than starting a new trace, which would clear the log. True when taken.
bool TakeEventsKey(const MSG& msg);
// The list's event at index (0 the oldest kept) shown in the hop graph: its hop, in the
// shortest span that holds its second. False when that hop is gone.
bool ShowEventInGraph(int index);
// The Events window's section of the INI file, written only once it has been opened.
void SaveEventsSettings();
RECT EventsOpeningRect();
void KeepEventsPlacement(HWND window);

// The local wall time of a trace second: "14:02:11", with its date before it
// ("2026-12-10 00:00:03") when that is not the start's date, or the ISO 8601 time with its offset
// that the saved files use.
char* FormatEventClock(uint32_t second, char* text, size_t size);
char* FormatEventIsoTime(uint32_t second, char* text, size_t size);

// The events kept, as CSV: a header row, then one row per event, oldest first (read under the
// echo lock, as one moment).
void BuildEventsCsv(std::string& file);
// The window's Save command: the system's Save dialog for a CSV file, then the file written
// whole or not at all.
void SaveEventsAs();

// The alert's seam: how the main window's taskbar button is flashed and the sound played.
void AlertDestinationSilent();
