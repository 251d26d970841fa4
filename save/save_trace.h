// Save As: the trace kept in a file, as the text report, a web page, CSV or JSON, written whole
// or not at all.
#pragma once
#include "save/save_name.h"
#include <string>

// Room for a chosen name with its folder; a longer one is refused, never cut.
enum { kSavePathCapacity = 1024 };

// Grays the File menu's Save As, or enables it once the trace has a destination to name.
void EnableSaveAs(int enabled);
// The Save As command: the Save dialog, then the file in the format its name asks for, in the
// folder that the INI file's "Save" section remembers. Nothing while no trace has a target.
void SaveTraceAs();

// The folder the Save dialogs open in: the one saved to last while it still exists (the INI
// file's "Save" section), else the working directory; false for the dialog's own choice. And the
// folder of a file just saved, kept for next time.
bool SaveFolderToOpen(char* folder, unsigned long size);
void KeepSaveFolder(const char* path);
// The folder saved to last alone, while it still exists; false without one.
bool KeptSaveFolder(char* folder, unsigned long size);

// "routelark-HOST-YYYYMMDD-HHMMSS" of the current trace, stamped with its start (local time).
char* SuggestTraceFileName(char* name, size_t size);
// The file of the current trace in format, with the hops' figures of this moment; count is the
// echoes per hop a report run asked for (0: none, as for Save As).
void BuildSavedFile(SaveFormat format, std::string& file, int count = 0);
// The events kept, read under the echo lock as one moment, with their texts in UTF-8 (the web
// page, JSON, CSV) or in the program's code page (the text file).
struct SavedEvents;
void ReadSavedEvents(SavedEvents& events, bool utf8);
// text, in the program's code page, as UTF-8.
void AnsiToUtf8(const char* text, std::string& utf8);
// Writes bytes into a temporary file beside path, then moves it over path: an old file is
// replaced whole or kept as it was. Returns 1, or 0 after a box naming the file and giving the
// system's text of the error.
int WriteWholeFileSafely(const char* path, const std::string& bytes);
// The same without a box, from any thread: 0, or the system's error code.
unsigned long WriteWholeFileQuietly(const char* path, const std::string& bytes);
// The box of a failed save: the file named whole, and the system's own text of the error.
void ShowSaveFailure(const char* path, unsigned long error);
