// Where a command line's output goes: standard output and standard error as the program was
// given them (a redirected handle, or the console of the cmd or PowerShell that started it),
// else message boxes and files.
#pragma once
#include <windows.h>
#include <string>

// Takes the standard handles, attaching to the parent's console where a handle is missing.
// Call once, before anything is written.
void OpenReportConsole();
// Whether standard output can take the report.
bool HasStandardOutput();
// Writes bytes to standard output; false, with GetLastError, when that fails.
bool WriteStandardOutput(const std::string& bytes);
// One error line: on standard error when there is one, else in a message box.
void ShowReportError(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Text (plain lines) on standard output, else in a message box; the usage, say.
void ShowReportText(const char* text);
// The progress line on a console's standard error, rewritten in place; nothing when standard
// error is no console. ClearProgress takes it away before the last words.
void ShowProgress(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ClearProgress();
