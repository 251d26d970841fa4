// Sessions: the running trace kept in a .rls file, and a file opened again as the trace it was,
// with its table and graph; autosave into the "sessions" folder beside the INI file, and the File
// menu's recent sessions.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <string>

// The bytes of the current trace's session, read under the echo statistics lock (one moment).
void BuildSessionBytes(std::string& bytes);
// Writes the current trace's session to path, whole or not at all, without any window or box:
// 0, or the system's error code. Nothing (ERROR_INVALID_FUNCTION) while no trace has a target.
unsigned long SaveSessionFile(const char* path);
// Opens a session file in place of what the window shows; a file that cannot be read or is no
// good gets one box naming it and the reason, and nothing changes. True when opened.
bool OpenSessionFile(const char* path);
// The program's only argument, when it is a lone name ending in ".rls" (quotes allowed): opened.
void OpenSessionOfCommandLine(const char* commandLine);
// Whether the command line is one session file (.rls) alone, quoted or not; its path into path.
bool LoneSessionFile(const char* commandLine, char* path, size_t size);

// The File menu's commands: Open... and Save Session..., through the system's dialogs.
void AskAndOpenSession();
void AskAndSaveSession();
// Files dropped on the main window: the first one is opened.
void OpenDroppedSession(HDROP drop);

// The minutes between autosaves of a running trace: the INI file's "Preferences" section, key
// "AutosaveMinutes", 10 when missing, 0 for none, at most a day.
int AutosaveMinutes();
// The folder autosaves go to, "sessions" beside the INI file; false when it cannot be named.
bool AutosaveFolder(char* folder, size_t size);
// Autosave's hooks: at Start (the timer set), at Stop (the session written once more and the
// timer ended) and at shutdown (waits for a write in progress).
void StartAutosave();
// The timer's tick: the running trace's session written unless the last write is still going.
void AutosaveRunningTrace();
void AutosaveAtStop();
void FinishAutosave();

// The last eight sessions opened or saved, newest first, in the INI file's "Sessions" section.
void AddRecentSession(const char* path);
void ShowRecentSessions(); // the File menu's submenu filled in
void OpenRecentSession(int index);
